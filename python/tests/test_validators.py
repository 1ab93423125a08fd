import pytest

from conftest import QtCore, QtGui, QtWidgets, lumo, rule

FIXUP_CASES = [
    # class, argument, rule, text, repaired
    ("QxFixedDecimalsValidator", 2, "ZvRoundHalfAwayFromZero", "1.235", "1.24"),
    ("QxFixedDecimalsValidator", 2, "ZvRoundTowardZero", "1.239", "1.23"),
    ("QxFixedDecimalsValidator", 2, "ZvRoundTowardNegativeInfinity", "-1.231", "-1.24"),
    ("QxSignificantDigitsValidator", 3, "ZvRoundHalfAwayFromZero", "12345", "12300"),
    ("QxSignificantDigitsValidator", 3, "ZvRoundTowardPositiveInfinity", "0.012301", "0.0124"),
]


@pytest.mark.parametrize("cls,arg,rule_name,text,repaired", FIXUP_CASES)
def test_fixup_returns_repaired_text(cls, arg, rule_name, text, repaired):
    validator = getattr(lumo, cls)(arg, None)
    assert validator.fixup(text, rule(rule_name)) == repaired


def test_fixup_without_rule_and_of_a_number():
    validator = lumo.QxFixedDecimalsValidator(2, None)
    # The one-argument fixup of QValidator stays reachable beside the
    # validator's own overloads, and all of them return their result.
    assert validator.fixup("1.239") == "1.24"
    assert validator.fixup(1.239, rule("ZvRoundTowardZero")) == pytest.approx(1.23)


def test_validate_returns_state_text_and_position():
    validator = lumo.QxFixedDecimalsValidator(2, None)
    state, text, pos = validator.validate("1.2", 3)
    assert (text, pos) == ("1.2", 3)
    assert state in (QtGui.QValidator.State.Acceptable, QtGui.QValidator.State.Intermediate)


def test_rounding_functions():
    assert lumo.ZvRoundToAmountOfDecimals(2.675, rule("ZvRoundHalfAwayFromZero"), 2) == pytest.approx(2.68)
    assert lumo.ZvRoundToAmountOfSignificantDigits(12345.0, rule("ZvRoundTowardZero"), 2) == pytest.approx(12000.0)


def test_subclass_reimplements_fixup_seen_by_line_edit(qtbot):
    class Shouting(lumo.QxFixedDecimalsValidator):
        def fixup(self, *args):
            if len(args) == 1:
                return "7.00"
            return super().fixup(*args)

    edit = QtWidgets.QLineEdit()
    qtbot.addWidget(edit)
    validator = Shouting(2, edit)
    validator.setBottom(0.0)
    validator.setTop(10.0)
    edit.setValidator(validator)
    edit.show()
    qtbot.waitExposed(edit)
    # 20 is out of range: QLineEdit asks the Python fixup on Return.
    qtbot.keyClicks(edit, "20")
    qtbot.keyClick(edit, QtCore.Qt.Key.Key_Return)
    assert edit.text() == "7.00"


def test_key_clicks_into_validated_line_edit(qtbot):
    edit = QtWidgets.QLineEdit()
    qtbot.addWidget(edit)
    validator = lumo.QxFixedDecimalsValidator(2, edit)
    edit.setValidator(validator)
    edit.show()
    qtbot.waitExposed(edit)
    # The letter is refused as QDoubleValidator refuses it.
    qtbot.keyClicks(edit, "3.5x")
    assert edit.text() == "3.5"
    assert validator.parent() is edit
