import pytest

from conftest import QtCore, QtWidgets, lumo, show_active

Key = QtCore.Qt.Key


@pytest.fixture
def range_slider(qtbot):
    window = QtWidgets.QWidget()
    qtbot.addWidget(window)
    layout = QtWidgets.QVBoxLayout(window)
    slider = lumo.QxDoubleRangeSlider(QtCore.Qt.Orientation.Horizontal)
    layout.addWidget(slider)
    layout.addWidget(QtWidgets.QLineEdit())
    slider.setRange(0.0, 10.0)
    slider.setSingleStep(0.5)
    slider.setPageStep(2.0)
    slider.setValues(2.0, 8.0)
    show_active(qtbot, window)
    slider.setFocus()
    yield slider


@pytest.mark.parametrize("keys,lower,upper", [
    ([Key.Key_Right], 2.5, 8.0),
    ([Key.Key_PageUp], 4.0, 8.0),
    ([Key.Key_Tab, Key.Key_Left], 2.0, 7.5),
    ([Key.Key_End], 8.0, 8.0),              # stops at the other handle
    ([Key.Key_Tab, Key.Key_Home], 2.0, 2.0),
])
def test_range_slider_keys_move_the_active_handle(qtbot, range_slider, keys, lower, upper):
    changes = []
    range_slider.valuesChanged.connect(lambda low, up: changes.append((low, up)))
    for key in keys:
        qtbot.keyClick(range_slider, key)
    assert (range_slider.lowerValue(), range_slider.upperValue()) == pytest.approx((lower, upper))
    assert changes[-1] == pytest.approx((lower, upper))


def test_range_slider_tab_leaves_after_the_upper_handle(qtbot, range_slider):
    qtbot.keyClick(range_slider, Key.Key_Tab)
    assert range_slider.activeHandle() == lumo.QxDoubleRangeSlider.Handle.UpperHandle
    qtbot.keyClick(range_slider, Key.Key_Tab)
    assert isinstance(QtWidgets.QApplication.focusWidget(), QtWidgets.QLineEdit)


def test_range_slider_properties_and_subclass(qtbot):
    class Logged(lumo.QxDoubleRangeSlider):
        def wheelEvent(self, event):
            self.wheeled = True
            super().wheelEvent(event)

    slider = Logged()
    qtbot.addWidget(slider)
    assert slider.setProperty("maximum", 4.0)
    assert slider.setProperty("upperValue", 9.0)     # held to the maximum
    assert slider.property("upperValue") == pytest.approx(4.0)
    slider.setUpperValue(2.0)
    slider.setLowerValue(3.0)                          # pushes the upper handle
    assert (slider.lowerValue(), slider.upperValue()) == pytest.approx((3.0, 3.0))


@pytest.fixture
def spin_slider(qtbot):
    widget = lumo.QxSliderSpinBox()
    qtbot.addWidget(widget)
    widget.setRange(-2.5, 7.25)
    widget.setDecimals(2)
    widget.setSingleStep(0.25)
    widget.setSuffix(" mm")
    widget.setValue(1.0)
    show_active(qtbot, widget)
    return widget


def test_slider_spin_box_takes_typed_number_on_return(qtbot, spin_slider):
    spin = spin_slider.findChild(QtWidgets.QDoubleSpinBox)
    spin.setFocus()
    spin.selectAll()
    with qtbot.waitSignal(spin_slider.editingFinished):
        qtbot.keyClicks(spin, "3.75")
        qtbot.keyClick(spin, Key.Key_Return)
    assert spin_slider.value() == pytest.approx(3.75)
    assert spin.text() == "3.75 mm"


def test_slider_spin_box_slider_key_moves_the_value(qtbot, spin_slider):
    slider = spin_slider.findChild(QtWidgets.QSlider)
    slider.setFocus()
    with qtbot.waitSignal(spin_slider.valueChanged) as blocker:
        qtbot.keyClick(slider, Key.Key_Right)
    assert blocker.args[0] == pytest.approx(1.25)
    assert spin_slider.property("value") == pytest.approx(1.25)


def test_slider_spin_box_form_class(qtbot):
    form = QtWidgets.QWidget()
    qtbot.addWidget(form)
    ui = lumo.Ui_QxSliderSpinBox()
    ui.setupUi(form)
    assert ui.slider.parent() is form and ui.doubleSpinBox.parent() is form
    assert form.layout() is ui.horizontalLayout
