import gc

import pytest

from conftest import QtCore, QtGui, QtWidgets, lumo, sip

Curve = QtCore.QEasingCurve.Type


class Recording(lumo.QxVariantAnimation):
    def __init__(self, parent=None):
        super().__init__(parent)
        self.seen = []

    def updateCurrentValue(self, value):
        self.seen.append(value)


@pytest.mark.parametrize("curve,times,values", [
    (Curve.Linear, [25, 50, 100], [2.5, 5.0, 10.0]),
    (Curve.InQuad, [50, 100], [2.5, 10.0]),
    (Curve.OutQuad, [50, 0], [7.5, 0.0]),
])
def test_subclass_sees_each_value(curve, times, values):
    animation = Recording()
    animation.setStartValue(0.0)
    animation.setEndValue(10.0)
    animation.setDuration(100)
    animation.setEasingCurve(curve)
    # Setting the values already reports the start value; only the times count here.
    del animation.seen[:]
    signalled = []
    animation.valueChanged.connect(signalled.append)
    for time in times:
        animation.setCurrentTime(time)
    assert animation.seen == pytest.approx(values)
    assert signalled == pytest.approx(values)
    assert animation.currentValue() == pytest.approx(values[-1])


def test_runs_to_its_end_value_and_deletes_itself_when_asked(qtbot):
    animation = Recording()
    animation.setStartValue(QtCore.QPointF(0, 0))
    animation.setEndValue(QtCore.QPointF(30, 60))
    animation.setDuration(50)
    with qtbot.waitSignal(animation.finished):
        animation.start()
    assert animation.seen[-1] == QtCore.QPointF(30, 60)

    # Deleted by the animation framework, not twice by Python afterwards.
    plain = lumo.QxVariantAnimation()
    plain.setStartValue(1)
    plain.setEndValue(5)
    plain.setDuration(50)
    with qtbot.waitSignal(plain.destroyed):
        plain.start(QtCore.QAbstractAnimation.DeletionPolicy.DeleteWhenStopped)
    assert sip.isdeleted(plain)
    del plain
    gc.collect()


def test_animation_stays_with_its_parent():
    parent = QtCore.QObject()
    Recording(parent).setEndValue(3)
    gc.collect()
    child = parent.findChild(QtCore.QVariantAnimation)
    assert isinstance(child, Recording)
    assert child.endValue() == 3


@pytest.fixture
def splashes():
    """Makes splash screens and deletes those still there afterwards: each
    watches every window of the application."""
    made = []

    def make(pixmap_size, version, cls=lumo.QxSplashScreen):
        pixmap = QtGui.QPixmap(*pixmap_size) if pixmap_size else QtGui.QPixmap()
        if pixmap_size:
            pixmap.fill(QtGui.QColor("white"))
        splash = cls(pixmap, version)
        made.append(splash)
        return splash

    yield make
    for splash in made:
        if not sip.isdeleted(splash):
            sip.delete(splash)


@pytest.mark.parametrize("message,with_version,text", [
    ("", True, "Version 2.1"),
    (" (beta)", True, "Version 2.1 (beta)"),
    ("Loading", False, "Loading"),
    ("", False, ""),
])
def test_build_message(splashes, message, with_version, text):
    splash = splashes(None, "2.1")
    assert splash.buildMessage(message, with_version) == text


@pytest.mark.parametrize("pixmap_size,shown", [((200, 100), True), (None, False)])
def test_splash_shows_at_once_with_its_version(splashes, pixmap_size, shown):
    splash = splashes(pixmap_size, "2.1")
    # Without an event loop turn: the host may go on loading at once.
    assert splash.isVisible() == shown
    assert splash.message() == ("Version 2.1" if shown else "")


def hide_by_close(qtbot, splash):
    splash.close()


def hide_by_click(qtbot, splash):
    qtbot.mouseClick(splash, QtCore.Qt.MouseButton.LeftButton)


def hide_plainly(qtbot, splash):
    splash.hide()


@pytest.mark.parametrize("put_aside,comes_back", [
    (None, True),
    (hide_plainly, True),
    (hide_by_close, False),
    (hide_by_click, False),
])
def test_splash_steps_aside_for_other_windows(qtbot, splashes, put_aside, comes_back):
    class Watching(lumo.QxSplashScreen):
        def __init__(self, pixmap, version):
            super().__init__(pixmap, version)
            self.shown = []

        def eventFilter(self, watched, event):
            if event.type() == QtCore.QEvent.Type.Show and watched is not self:
                self.shown.append(watched)
            return super().eventFilter(watched, event)

    splash = splashes((200, 100), "2.1", Watching)
    qtbot.waitExposed(splash)
    if put_aside:
        put_aside(qtbot, splash)
    dialog = QtWidgets.QDialog()
    qtbot.addWidget(dialog)
    dialog.show()
    assert dialog in splash.shown
    assert not splash.isVisible()
    dialog.hide()
    assert splash.isVisible() == comes_back


def test_scheduled_deletion_waits_for_the_event_loop(qtbot):
    class Counting(lumo.QxSplashScreen):
        def __init__(self, pixmap, version, seen):
            super().__init__(pixmap, version)
            self.seen = seen

        def eventFilter(self, watched, event):
            if event.type() == QtCore.QEvent.Type.Show:
                self.seen.append(watched)
            return super().eventFilter(watched, event)

    seen, gone = [], []
    pixmap = QtGui.QPixmap(200, 100)
    pixmap.fill(QtGui.QColor("white"))
    splash = Counting(pixmap, "2.1", seen)
    splash.destroyed.connect(lambda: gone.append(True))
    splash.scheduleDeletion()
    del splash
    gc.collect()
    # Still there, Python subclass included, until the event loop deletes it.
    assert gone == []
    dialog = QtWidgets.QDialog()
    qtbot.addWidget(dialog)
    dialog.show()
    # It stopped watching the windows at once.
    assert dialog not in seen
    qtbot.waitUntil(lambda: gone == [True])
