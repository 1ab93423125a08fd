import pytest

from conftest import QtCore, QtWidgets, lumo, sip

pyqtSlot = QtCore.pyqtSlot
pyqtSignal = QtCore.pyqtSignal


class Receiver(QtWidgets.QLabel):
    """A receiver with slots of its own, written in Python."""

    relayed = pyqtSignal(int)

    def __init__(self):
        super().__init__()
        self.calls = []

    @pyqtSlot()
    def ping(self):
        self.calls.append("ping")

    @pyqtSlot(int)
    def take(self, value):
        self.calls.append(value)

    def undecorated(self):
        self.calls.append("undecorated")


@pytest.fixture
def parts(qtbot):
    receiver = Receiver()
    qtbot.addWidget(receiver)
    button = QtWidgets.QPushButton()
    qtbot.addWidget(button)
    spin = QtWidgets.QSpinBox()
    qtbot.addWidget(spin)
    tracker = lumo.QxObjectConnectionsTracker(receiver)
    return receiver, button, spin, tracker


def test_bound_signals_and_slots_connect_and_all_are_cut(parts):
    receiver, button, spin, tracker = parts
    assert tracker.parent() is receiver
    tracker.connect(button.clicked, receiver.ping)        # Python slot, fewer arguments
    tracker.connect(spin.valueChanged, receiver.setNum)   # C++ slot, picked by its arguments
    tracker.connect(spin.valueChanged, receiver.take)
    tracker.connect(spin.valueChanged, receiver.relayed)  # a signal relayed
    tracker.connect(button, "2clicked()", "1clear()")     # coded texts still work
    relayed = []
    receiver.relayed.connect(relayed.append)

    button.click()
    spin.setValue(7)
    assert receiver.calls == ["ping", 7]
    assert receiver.text() == "7"
    assert relayed == [7]
    button.click()
    assert receiver.text() == ""

    tracker.disconnectFromAllSignals()
    receiver.setText("kept")
    button.click()
    spin.setValue(8)
    assert receiver.calls == ["ping", 7, "ping"]
    assert receiver.text() == "kept"
    assert relayed == [7]


@pytest.mark.parametrize("signal,slot,error,message", [
    (lambda r, b, s: b.clicked, lambda r, b, s: (lambda: None), TypeError, "functions, lambdas"),
    (lambda r, b, s: b.clicked, lambda r, b, s: print, TypeError, "functions, lambdas"),
    (lambda r, b, s: b.clicked, lambda r, b, s: b.click, ValueError, "receiver"),
    (lambda r, b, s: b.clicked, lambda r, b, s: s.valueChanged, ValueError, "receiver"),
    (lambda r, b, s: b.clicked, lambda r, b, s: r.undecorated, TypeError, "pyqtSlot"),
    (lambda r, b, s: b.clicked, lambda r, b, s: r.setNum, TypeError, "arguments"),
    (lambda r, b, s: b.clicked, lambda r, b, s: r.relayed, TypeError, "arguments"),
    (lambda r, b, s: b.click, lambda r, b, s: r.ping, TypeError, "bound signal"),
    (lambda r, b, s: "2clicked()", lambda r, b, s: r.ping, TypeError, "bound signal"),
])
def test_other_callables_are_refused_clearly(parts, signal, slot, error, message):
    receiver, button, spin, tracker = parts
    with pytest.raises(error, match=message):
        tracker.connect(signal(receiver, button, spin), slot(receiver, button, spin))
    # Nothing was connected.
    button.click()
    spin.setValue(3)
    assert receiver.calls == []


def test_tracker_needs_a_receiver_and_dies_with_it(qtbot):
    with pytest.raises(TypeError):
        lumo.QxObjectConnectionsTracker(None)
    receiver = QtCore.QObject()
    tracker = lumo.QxObjectConnectionsTracker(receiver)
    del receiver  # the tracker is the receiver's child: it goes with it
    assert sip.isdeleted(tracker)


def test_subclass_in_python(parts):
    receiver, button, _, _ = parts

    class Counting(lumo.QxObjectConnectionsTracker):
        cuts = 0

        def disconnectFromAllSignals(self):
            type(self).cuts += 1
            super().disconnectFromAllSignals()

    tracker = Counting(receiver)
    tracker.connect(button.clicked, receiver.ping)
    tracker.disconnectFromAllSignals()
    button.click()
    assert Counting.cuts == 1 and receiver.calls == []
