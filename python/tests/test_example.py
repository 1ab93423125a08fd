import os
import runpy

import pytest

from conftest import QtCore, show_active

Key = QtCore.Qt.Key
EXAMPLE = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "python", "price_mail.py")


@pytest.fixture(params=["C", "German"])
def window(request, qtbot, sink):
    previous = QtCore.QLocale()
    QtCore.QLocale.setDefault(QtCore.QLocale(getattr(QtCore.QLocale.Language, request.param)))
    request.addfinalizer(lambda: QtCore.QLocale.setDefault(previous))
    # The program's definitions, without running its main().
    example = runpy.run_path(EXAMPLE)
    port, _ = sink
    widget = example["OfferWindow"]("127.0.0.1", port)
    qtbot.addWidget(widget)
    show_active(qtbot, widget)
    return widget


def test_price_typed_slid_and_mailed(qtbot, sink, window):
    _, outdir = sink
    window.price.setFocus()
    window.price.selectAll()
    point = window.locale().decimalPoint()
    qtbot.keyClicks(window.price, f"7{point}456")
    qtbot.keyClick(window.price, Key.Key_Tab)          # leaving the field rounds to cents
    assert window.price.text() == f"7{point}46"
    assert window.slider.value() == pytest.approx(7.46)

    window.slider.setFocus()
    qtbot.keyClick(window.slider, Key.Key_PageUp)
    assert window.price.text() == f"17{point}46"

    window.recipient.selectAll()
    qtbot.keyClicks(window.recipient, "not an address")
    assert not window.send.isEnabled()
    window.recipient.selectAll()
    qtbot.keyClicks(window.recipient, "buyer@example.org")
    assert window.send.isEnabled()

    qtbot.mouseClick(window.send, QtCore.Qt.MouseButton.LeftButton)
    qtbot.waitUntil(lambda: window.outcome.text() == "Sent.", timeout=10000)
    assert (outdir / "buyer@example.org.text").read_text(encoding="utf-8") \
        == f"We offer the item at 17{point}46 EUR.\n"
