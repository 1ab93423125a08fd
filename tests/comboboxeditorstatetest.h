#pragma once

#include <lumo/QxComboBoxEditorState.h>

#include <QtTest>

// Shared by the combo-box editor tests.

// Found by QCOMPARE through argument-dependent lookup, for readable failures;
// so it stays in the global namespace, beside the type.
inline char *toString(const QxComboBoxEditorState &state)
{
    return QTest::toString(QStringLiteral("(%1) selected %2")
                                   .arg(state.itemTexts.join(QStringLiteral(", ")))
                                   .arg(state.selectedIndex));
}
