#include <lumo/QxComboBoxEditorState.h>

#include <QStandardItemModel>
#include <QtTest>

#include "comboboxeditorstatetest.h"

namespace {

// A list with data of its own: QList::mid(0) and copies share it.
QStringList separateCopy(const QStringList &texts)
{
    return QStringList(texts.begin(), texts.end());
}

} // namespace

class tst_QxComboBoxEditorState : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void copies();
    void equality_data();
    void equality();
    void registration();
    void otherTypesDiffer_data();
    void otherTypesDiffer();
    void modelSkipsEqualState_data();
    void modelSkipsEqualState();
};

void tst_QxComboBoxEditorState::defaults()
{
    const QxComboBoxEditorState state;
    QVERIFY(state.itemTexts.isEmpty());
    QCOMPARE(state.selectedIndex, -1);
}

void tst_QxComboBoxEditorState::copies()
{
    QStringList texts { "a", "b" };
    QxComboBoxEditorState state(texts, 1);
    texts.append("c");
    QCOMPARE(state.itemTexts, (QStringList { "a", "b" }));

    QxComboBoxEditorState copy(state);
    QxComboBoxEditorState assigned;
    assigned = state;
    state.itemTexts[0] = "changed";
    state.selectedIndex = 0;
    QCOMPARE(copy.itemTexts, (QStringList { "a", "b" }));
    QCOMPARE(copy.selectedIndex, 1);
    QCOMPARE(assigned.itemTexts, (QStringList { "a", "b" }));
    QCOMPARE(assigned.selectedIndex, 1);
}

void tst_QxComboBoxEditorState::equality_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("otherTexts");
    QTest::addColumn<int>("otherIndex");
    QTest::addColumn<bool>("equal");

    const QStringList abc { "a", "b", "c" };
    QTest::newRow("same content") << abc << 1 << abc << 1 << true;
    QTest::newRow("both empty") << QStringList() << -1 << QStringList() << -1 << true;
    QTest::newRow("other index") << abc << 1 << abc << 2 << false;
    QTest::newRow("other text") << abc << 1 << QStringList { "a", "x", "c" } << 1 << false;
    QTest::newRow("other order") << abc << 1 << QStringList { "c", "b", "a" } << 1 << false;
    QTest::newRow("empty text is a text")
            << QStringList { "" } << -1 << QStringList() << -1 << false;
}

void tst_QxComboBoxEditorState::equality()
{
    QFETCH(QStringList, texts);
    QFETCH(int, index);
    QFETCH(QStringList, otherTexts);
    QFETCH(int, otherIndex);
    QFETCH(bool, equal);

    QxComboBoxEditorState::registerMetaType();
    // Separate lists, so that equality cannot come from shared data (Qt 5's
    // QVariant compares the bytes of a type without a registered comparator).
    const QxComboBoxEditorState state(separateCopy(texts), index);
    const QxComboBoxEditorState other(separateCopy(otherTexts), otherIndex);
    QCOMPARE(state == other, equal);
    QCOMPARE(other == state, equal);
    QCOMPARE(state != other, !equal);
    QCOMPARE(QVariant::fromValue(state) == QVariant::fromValue(other), equal);
}

void tst_QxComboBoxEditorState::registration()
{
    const int id = QxComboBoxEditorState::registerMetaType();
    QCOMPARE(QxComboBoxEditorState::registerMetaType(), id);
    QCOMPARE(id, qMetaTypeId<QxComboBoxEditorState>());
    QCOMPARE(QMetaType::type("QxComboBoxEditorState"), id);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QVERIFY(QMetaType::hasRegisteredComparators(id));
#else
    QVERIFY(QMetaType(id).isEqualityComparable());
#endif

    const QxComboBoxEditorState state(QStringList { "x", "y" }, 0);
    const QVariant variant = QVariant::fromValue(state);
    QCOMPARE(variant.userType(), id);
    QCOMPARE(variant.value<QxComboBoxEditorState>(), state);
    // A copy made by type id, as item models and delegates make them.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    const QVariant byId(id, &state);
#else
    const QVariant byId(QMetaType(id), &state);
#endif
    QCOMPARE(byId.value<QxComboBoxEditorState>(), state);
}

void tst_QxComboBoxEditorState::otherTypesDiffer_data()
{
    QTest::addColumn<QVariant>("other");

    // Qt 5's QVariant== converts one side to the other's type where it can,
    // Qt 6's never does: with no conversions registered for the state, a
    // state equals no value of another type on either.
    const QStringList texts { "a", "b" };
    QTest::newRow("its texts") << QVariant(texts);
    QTest::newRow("its index") << QVariant(1);
    QTest::newRow("its texts joined") << QVariant(QStringLiteral("a,b"));
    QTest::newRow("invalid") << QVariant();
}

void tst_QxComboBoxEditorState::otherTypesDiffer()
{
    QFETCH(QVariant, other);

    QxComboBoxEditorState::registerMetaType();
    const QVariant state = QVariant::fromValue(QxComboBoxEditorState({ "a", "b" }, 1));
    QVERIFY(!(state == other));
    QVERIFY(!(other == state));
    QVERIFY(state != other);
}

void tst_QxComboBoxEditorState::modelSkipsEqualState_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("changes");

    QTest::newRow("equal state") << QStringList { "a", "b" } << 1 << false;
    QTest::newRow("other index") << QStringList { "a", "b" } << 0 << true;
    QTest::newRow("other text") << QStringList { "a", "c" } << 1 << true;
}

void tst_QxComboBoxEditorState::modelSkipsEqualState()
{
    // A model compares the state it stores with the one it is given through
    // QVariant== and reports a change only when they differ, as a delegate
    // committing an editor that was opened and left alone relies on.
    QFETCH(QStringList, texts);
    QFETCH(int, index);
    QFETCH(bool, changes);

    QxComboBoxEditorState::registerMetaType();
    QStandardItemModel model(1, 1);
    const QModelIndex cell = model.index(0, 0);
    QVERIFY(model.setData(cell, QVariant::fromValue(QxComboBoxEditorState({ "a", "b" }, 1))));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QxComboBoxEditorState next(separateCopy(texts), index);
    QVERIFY(model.setData(cell, QVariant::fromValue(next)));
    QCOMPARE(changed.count(), changes ? 1 : 0);
    QCOMPARE(model.data(cell).value<QxComboBoxEditorState>(), next);
}

QTEST_MAIN(tst_QxComboBoxEditorState)
#include "tst_QxComboBoxEditorState.moc"
