import glob
import os

import pytest

from conftest import QtWidgets, lumo

HEADERS = os.path.join(os.path.dirname(__file__), "..", "..", "include", "lumo")
# Not bound: the web view needs PyQt's separate web bindings; the form class
# of the slider-spin-box is bound under its own name.
UNBOUND = {"QxWebView"}


def test_every_public_header_is_bound():
    names = {os.path.basename(path)[:-2] for path in glob.glob(os.path.join(HEADERS, "Qx*.h"))}
    assert names, HEADERS
    missing = sorted(name for name in names - UNBOUND if not hasattr(lumo, name))
    assert missing == []


@pytest.mark.parametrize("name,arguments", [
    ("QxDoubleSlider", ()),
    ("QxDoubleRangeSlider", ()),
    ("QxSliderSpinBox", ()),
    ("QxCollapsibleGroupBox", ()),
    ("QxFlowLayout", ()),
    ("QxMailAddressEdit", ()),
    ("QxTextEditWithAutocompletion", ()),
    ("QxComboBoxEditor", ()),
    ("QxVariantAnimation", ()),
    ("QxMailMessage", ()),
    ("QxSmtpMailSender", ("127.0.0.1", 25)),
    ("QxFixedDecimalsValidator", (2,)),
])
def test_python_subclass_keeps_its_attributes(qtbot, name, arguments):
    base = getattr(lumo, name)
    subclass = type("Python" + name, (base,), {"tag": lambda self: "from Python"})
    instance = subclass(*arguments)
    instance.note = 42
    assert isinstance(instance, base)
    assert instance.tag() == "from Python" and instance.note == 42
    if isinstance(instance, QtWidgets.QWidget):
        parent = QtWidgets.QWidget()
        qtbot.addWidget(parent)
        instance.setParent(parent)
        del instance
        child = parent.findChild(base)
        assert type(child).__name__ == "Python" + name and child.note == 42
