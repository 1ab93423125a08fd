#include <lumo/QxComboBoxEditor.h>

#include <QItemEditorFactory>
#include <QMetaProperty>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QtTest>

#include "comboboxeditorstatetest.h"

class tst_QxComboBoxEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void emptyEditor();
    void roundTrip_data();
    void roundTrip();
    void setStateReplacesEntries();
    void setStateSignals();
    void indexOutsideListNotCorrected_data();
    void indexOutsideListNotCorrected();
    void userProperty();
    void editsModelThroughDelegate();
};

void tst_QxComboBoxEditor::initTestCase()
{
    QxComboBoxEditorState::registerMetaType();
}

void tst_QxComboBoxEditor::emptyEditor()
{
    QxComboBoxEditor editor;
    QVERIFY(!editor.isEditable());
    QCOMPARE(editor.count(), 0);
    QCOMPARE(editor.getState(), QxComboBoxEditorState());
    QCOMPARE(editor.metaObject()->className(), "QxComboBoxEditor");
}

void tst_QxComboBoxEditor::roundTrip_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("index");

    QTest::newRow("middle selected") << QStringList { "red", "green", "blue" } << 1;
    QTest::newRow("first selected") << QStringList { "red", "green", "blue" } << 0;
    QTest::newRow("last selected") << QStringList { "red", "green", "blue" } << 2;
    QTest::newRow("nothing selected") << QStringList { "red", "green" } << -1;
    QTest::newRow("duplicates and empty texts") << QStringList { "x", "", "x", "" } << 2;
    QTest::newRow("no entries") << QStringList() << -1;
    QTest::newRow("unicode") << QStringList { "é", "日本" } << 1;
}

void tst_QxComboBoxEditor::roundTrip()
{
    QFETCH(QStringList, texts);
    QFETCH(int, index);

    QxComboBoxEditor editor;
    const QxComboBoxEditorState state(texts, index);
    editor.setState(state);
    QCOMPARE(editor.count(), texts.size());
    QCOMPARE(editor.currentIndex(), index);
    QCOMPARE(editor.getState(), state);
}

void tst_QxComboBoxEditor::setStateReplacesEntries()
{
    QxComboBoxEditor editor;
    editor.addItem(QIcon(), QStringLiteral("old"), 42);
    QPixmap pixmap(8, 8);
    pixmap.fill(Qt::red);
    editor.addItem(QIcon(pixmap), QStringLiteral("iconic"), QStringLiteral("data"));
    QCOMPARE(editor.getState(), QxComboBoxEditorState(QStringList { "old", "iconic" }, 0));

    editor.setState(QxComboBoxEditorState(QStringList { "a", "b" }, 1));
    QCOMPARE(editor.count(), 2);
    QCOMPARE(editor.getState(), QxComboBoxEditorState(QStringList { "a", "b" }, 1));
    QVERIFY(editor.itemData(0).isNull());
    QVERIFY(editor.itemIcon(1).isNull());
}

void tst_QxComboBoxEditor::setStateSignals()
{
    QxComboBoxEditor editor;
    editor.setState(QxComboBoxEditorState(QStringList { "a", "b" }, 0));
    QSignalSpy changed(&editor, QOverload<int>::of(&QComboBox::currentIndexChanged));
    editor.setState(QxComboBoxEditorState(QStringList { "c", "d", "e" }, 2));
    // Cleared to nothing, then the first inserted entry, then the one asked for.
    QCOMPARE(changed.count(), 3);
    QCOMPARE(changed.at(0).at(0).toInt(), -1);
    QCOMPARE(changed.at(1).at(0).toInt(), 0);
    QCOMPARE(changed.at(2).at(0).toInt(), 2);
}

void tst_QxComboBoxEditor::indexOutsideListNotCorrected_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("past the end") << 3;
    QTest::newRow("far past the end") << INT_MAX;
    QTest::newRow("below -1") << -5;
    QTest::newRow("INT_MIN") << INT_MIN;
}

void tst_QxComboBoxEditor::indexOutsideListNotCorrected()
{
    QFETCH(int, index);
    QxComboBoxEditor editor;
    editor.setState(QxComboBoxEditorState(QStringList { "a", "b", "c" }, index));
    // QComboBox selects nothing for an index it does not have.
    QCOMPARE(editor.getState(), QxComboBoxEditorState(QStringList { "a", "b", "c" }, -1));
}

void tst_QxComboBoxEditor::userProperty()
{
    const QMetaProperty property = QxComboBoxEditor::staticMetaObject.userProperty();
    QVERIFY(property.isValid());
    QCOMPARE(property.name(), "state");
    QCOMPARE(property.typeName(), "QxComboBoxEditorState");
    QVERIFY(property.isReadable() && property.isWritable() && property.isDesignable()
            && property.isScriptable() && property.isStored());
    QVERIFY(!property.isResettable());
    QVERIFY(!property.hasNotifySignal());

    QxComboBoxEditor editor;
    const QxComboBoxEditorState state(QStringList { "one", "two" }, 1);
    QVERIFY(editor.setProperty("state", QVariant::fromValue(state)));
    QCOMPARE(editor.currentText(), QStringLiteral("two"));
    QCOMPARE(editor.property("state").value<QxComboBoxEditorState>(), state);
}

void tst_QxComboBoxEditor::editsModelThroughDelegate()
{
    const int type = qMetaTypeId<QxComboBoxEditorState>();
    QItemEditorFactory factory;
    factory.registerEditor(type, new QStandardItemEditorCreator<QxComboBoxEditor>());
    QStyledItemDelegate delegate;
    delegate.setItemEditorFactory(&factory);

    QStandardItemModel model(2, 2);
    const QModelIndex cell = model.index(1, 1);
    const QStringList colours { "red", "green", "blue" };
    model.setData(cell, QVariant::fromValue(QxComboBoxEditorState(colours, 0)), Qt::EditRole);

    QTableView view;
    view.setItemDelegate(&delegate);
    view.setModel(&model);
    view.resize(400, 200);
    view.show();
    view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&view));

    // A double click is a press, a release and a second press seen as double.
    const QPoint center = view.visualRect(cell).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, center);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, center);
    QxComboBoxEditor *editor = nullptr;
    QTRY_VERIFY((editor = view.viewport()->findChild<QxComboBoxEditor *>()));
    QTRY_VERIFY(editor->hasFocus());
    QCOMPARE(editor->getState(), QxComboBoxEditorState(colours, 0));

    QTest::keyClick(editor, Qt::Key_Down);
    QTest::keyClick(editor, Qt::Key_Down);
    QCOMPARE(editor->currentText(), QStringLiteral("blue"));
    QTest::keyClick(editor, Qt::Key_Return);

    // The delegate commits at the next turn of the event loop.
    QTRY_COMPARE(model.data(cell, Qt::EditRole).value<QxComboBoxEditorState>(),
                 QxComboBoxEditorState(colours, 2));
    QTRY_VERIFY(!view.viewport()->findChild<QxComboBoxEditor *>());
}

QTEST_MAIN(tst_QxComboBoxEditor)
#include "tst_QxComboBoxEditor.moc"
