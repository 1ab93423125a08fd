#include <lumo/QxComboBoxEditorState.h>

#include <QtTest>

#include "comboboxeditorstatetest.h"

class tst_QxComboBoxEditorState : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void copies();
    void equality_data();
    void equality();
    void registration();
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
    // Separate lists, so that equality cannot come from shared data.
    const QxComboBoxEditorState state(QStringList(texts.mid(0)), index);
    const QxComboBoxEditorState other(QStringList(otherTexts.mid(0)), otherIndex);
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

QTEST_MAIN(tst_QxComboBoxEditorState)
#include "tst_QxComboBoxEditorState.moc"
