import gc

import pytest

from conftest import QtCore, QtGui, QtWidgets, lumo

# The address pattern the field documents, in a plain QLineEdit validator:
# what the field keeps of each key and when it calls the text valid.
PATTERN = r"[A-Z0-9._%+-]+@[A-Z0-9.-]+\.[A-Z]{2,63}"


def reference_validator():
    expression = QtCore.QRegularExpression(
        PATTERN, QtCore.QRegularExpression.PatternOption.CaseInsensitiveOption)
    return QtGui.QRegularExpressionValidator(expression)


@pytest.mark.parametrize("typed,text,valid", [
    ("name@example.com", "name@example.com", True),
    ("A.B%C+D-E_F@Sub.Example.ORG", "A.B%C+D-E_F@Sub.Example.ORG", True),
    ("name@example.museum", "name@example.museum", True),
    ("na me@exa mple.org", "name@example.org", True),
    ("name@@example.com", "name@example.com", True),
    ("name@example", "name@example", False),
    ("a@b.c", "a@b.c", False),
    ("name@example.c0m", "name@example.c0m", False),
])
def test_typed_text_is_filtered_and_judged_key_by_key(qtbot, typed, text, valid):
    edit = lumo.QxMailAddressEdit()
    plain = QtWidgets.QLineEdit()
    plain.setValidator(reference_validator())
    for widget in (edit, plain):
        qtbot.addWidget(widget)
    acceptable = QtGui.QValidator.State.Acceptable
    for key in typed:
        qtbot.keyClicks(edit, key)
        qtbot.keyClicks(plain, key)
        assert edit.text() == plain.text()
        state = plain.validator().validate(plain.text(), len(plain.text()))[0]
        assert edit.isValid() == (state == acceptable), edit.text()
    assert edit.text() == text
    assert edit.isValid() == valid


@pytest.mark.parametrize("validator,text,valid", [
    (None, "name@example.com", False),
    (QtGui.QIntValidator, "123", True),
    (QtGui.QIntValidator, "name@example.com", False),
])
def test_validity_follows_a_replaced_validator(qtbot, validator, text, valid):
    edit = lumo.QxMailAddressEdit()
    qtbot.addWidget(edit)
    edit.setValidator(validator(edit) if validator else None)
    edit.setText(text)
    assert edit.isValid() == valid


def test_subclass_in_a_parent_sees_keys_and_stays_with_the_parent(qtbot):
    class Counting(lumo.QxMailAddressEdit):
        def __init__(self, parent):
            super().__init__(parent)
            self.keys = []

        def keyPressEvent(self, event):
            self.keys.append(event.text())
            super().keyPressEvent(event)

    parent = QtWidgets.QWidget()
    qtbot.addWidget(parent)
    Counting(parent)
    gc.collect()
    # The parent owns the field: the Python subclass lives on with it.
    edit = parent.findChild(QtWidgets.QLineEdit)
    assert isinstance(edit, Counting)
    qtbot.keyClicks(edit, "a b@c.de")
    assert edit.keys == list("a b@c.de")
    assert edit.text() == "ab@c.de"
    assert edit.isValid()
