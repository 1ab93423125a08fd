import gc

import pytest

from conftest import QtCore, QtWidgets, lumo


def test_collapsible_box_folds_by_its_title_check_box(qtbot):
    box = lumo.QxCollapsibleGroupBox()
    qtbot.addWidget(box)
    box.setTitle("Details")
    label = QtWidgets.QLabel("inside")
    box.addWidget(label)
    del label
    gc.collect()
    box.show()
    qtbot.waitExposed(box)
    inside = box.getInsideWidget()
    assert inside.isVisible()
    # The box now owns the widget: Python dropping its name keeps it alive.
    assert inside.findChild(QtWidgets.QLabel).text() == "inside"

    box.setFocus()
    with qtbot.waitSignal(box.expandedChanged) as blocker:
        qtbot.keyClick(box, QtCore.Qt.Key.Key_Space)
    assert blocker.args == [False]
    assert not box.isExpanded()
    assert not inside.isVisible()

    box.setExpanded(True)
    assert box.isChecked()
    assert inside.isVisible()


def test_collapsible_box_subclass_sees_child_events(qtbot):
    class Watching(lumo.QxCollapsibleGroupBox):
        def __init__(self):
            super().__init__()
            self.added = []

        def childEvent(self, event):
            if event.type() == QtCore.QEvent.Type.ChildAdded:
                self.added.append(event.child())
            super().childEvent(event)

    box = Watching()
    qtbot.addWidget(box)
    # Reparented once built: during construction the event carries a bare QWidget.
    child = QtWidgets.QPushButton()
    child.setParent(box)
    assert child in box.added


@pytest.mark.parametrize("width,lines", [(1000, 1), (130, 2), (70, 4)])
def test_flow_layout_wraps_and_owns_its_items(qtbot, width, lines):
    host = QtWidgets.QWidget()
    qtbot.addWidget(host)
    layout = lumo.QxFlowLayout(host, 0, 10, 10)
    for index in range(4):
        button = QtWidgets.QPushButton("b%d" % index)
        button.setFixedSize(50, 20)
        layout.addWidget(button)
    del button
    gc.collect()
    assert layout.count() == 4
    assert layout.heightForWidth(width) == lines * 20 + (lines - 1) * 10

    host.resize(width, 200)
    host.show()
    qtbot.waitExposed(host)
    rows = {layout.itemAt(i).geometry().y() for i in range(layout.count())}
    assert len(rows) == lines

    item = layout.takeAt(0)
    assert layout.count() == 3
    assert layout.takeAt(99) is None
    assert item.widget().text() == "b0"
