import pytest

from conftest import QtCore, QtWidgets, lumo


@pytest.fixture
def slider(qtbot):
    widget = lumo.QxDoubleSlider()
    qtbot.addWidget(widget)
    widget.setRange(0.0, 1.0)
    widget.setSingleStep(0.1)
    widget.setValue(0.5)
    widget.show()
    qtbot.waitExposed(widget)
    return widget


@pytest.mark.parametrize("key,expected", [
    (QtCore.Qt.Key.Key_Right, 0.6),
    (QtCore.Qt.Key.Key_Left, 0.4),
    (QtCore.Qt.Key.Key_End, 1.0),
    (QtCore.Qt.Key.Key_Home, 0.0),
])
def test_key_press_moves_by_double_step(qtbot, slider, key, expected):
    with qtbot.waitSignal(slider.doubleValueChanged) as blocker:
        qtbot.keyClick(slider, key)
    assert blocker.args[0] == pytest.approx(expected)
    assert slider.value() == pytest.approx(expected)


def test_property_and_parent(qtbot):
    parent = QtWidgets.QWidget()
    qtbot.addWidget(parent)
    slider = lumo.QxDoubleSlider(parent)
    assert slider.parent() is parent
    slider.setRange(-2.0, 2.0)
    assert slider.setProperty("value", 1.25)
    assert slider.property("value") == pytest.approx(1.25)


def test_subclass_overrides_event_handler(qtbot):
    class Counting(lumo.QxDoubleSlider):
        presses = 0

        def keyPressEvent(self, event):
            type(self).presses += 1
            super().keyPressEvent(event)

    widget = Counting()
    qtbot.addWidget(widget)
    widget.setRange(0.0, 10.0)
    widget.setSingleStep(1.0)
    widget.show()
    qtbot.waitExposed(widget)
    qtbot.keyClick(widget, QtCore.Qt.Key.Key_Up)
    assert Counting.presses == 1
    assert widget.value() == pytest.approx(1.0)
