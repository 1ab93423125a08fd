import pytest

from conftest import QtCore, QtGui, QtWidgets, lumo, show_active

State = lumo.QxComboBoxEditorState
Key = QtCore.Qt.Key
EDIT_ROLE = QtCore.Qt.ItemDataRole.EditRole


@pytest.mark.parametrize("left,right,equal", [
    (State(), State(), True),
    (State(["a", "b"], 1), State(["a", "b"], 1), True),
    (State(["a", "b"], 1), State(["b", "a"], 1), False),
    (State(["a", "b"], 1), State(["a", "b"], 0), False),
    (State(["a"], -1), State(["a", "b"], -1), False),
    (State(), State([], -1), True),
])
def test_state_compares_texts_order_and_index(left, right, equal):
    assert (left == right) == equal
    assert (left != right) == (not equal)


def test_state_members_and_copies():
    state = State()
    assert (state.itemTexts, state.selectedIndex) == ([], -1)
    state.itemTexts = ["red", "green"]
    state.selectedIndex = 1
    copy = State(state)
    state.itemTexts = ["blue"]
    assert (copy.itemTexts, copy.selectedIndex) == (["red", "green"], 1)
    assert repr(copy) == "QxComboBoxEditorState(['red', 'green'], 1)"


@pytest.mark.parametrize("texts,index,current,read_back", [
    (["a", "b", "c"], 1, "b", 1),
    (["a", "b", "c"], -1, "", -1),
    # Selected as given, without range check: the combo box selects nothing.
    (["a", "b"], 5, "", -1),
    ([], 0, "", -1),
])
def test_state_property_sets_and_reads_the_whole_content(qtbot, texts, index, current, read_back):
    editor = lumo.QxComboBoxEditor()
    qtbot.addWidget(editor)
    editor.addItems(["old"])
    meta = editor.metaObject()
    assert meta.userProperty().name() == "state"

    assert editor.setProperty("state", State(texts, index))
    assert [editor.itemText(i) for i in range(editor.count())] == texts
    assert editor.currentText() == current
    read = editor.property("state")
    assert isinstance(read, State)
    assert read == State(texts, read_back)
    assert editor.getState() == read


def test_state_in_a_variant_compares_by_value():
    first = QtCore.QVariant(State(["a"], 0))
    assert first.typeName() == "QxComboBoxEditorState"
    assert first == QtCore.QVariant(State(["a"], 0))
    assert first != QtCore.QVariant(State(["a"], -1))


class ComboBoxCreator(QtWidgets.QItemEditorCreatorBase):
    def createWidget(self, parent):
        return lumo.QxComboBoxEditor(parent)

    def valuePropertyName(self):
        return QtCore.QByteArray(b"state")


@pytest.mark.parametrize("keys,selected", [
    ([Key.Key_Down], 2),
    ([Key.Key_Up, Key.Key_Up], 0),
    ([Key.Key_End], 3),
])
def test_delegate_edits_a_model_cell_through_the_user_property(qtbot, keys, selected):
    model = QtGui.QStandardItemModel(1, 1)
    texts = ["north", "east", "south", "west"]
    model.setData(model.index(0, 0), State(texts, 1), EDIT_ROLE)

    # The delegate knows nothing of the editor but the type of the data.
    factory = QtWidgets.QItemEditorFactory()
    factory.registerEditor(State.registerMetaType(), ComboBoxCreator())
    delegate = QtWidgets.QStyledItemDelegate()
    delegate.setItemEditorFactory(factory)
    view = QtWidgets.QTableView()
    qtbot.addWidget(view)
    view.setModel(model)
    view.setItemDelegate(delegate)
    show_active(qtbot, view)
    view.setCurrentIndex(model.index(0, 0))
    view.setFocus()

    qtbot.keyClick(view, Key.Key_F2)
    editor = view.findChild(lumo.QxComboBoxEditor)
    assert editor is not None
    assert editor.getState() == State(texts, 1)
    qtbot.waitUntil(editor.hasFocus)
    for key in keys:
        qtbot.keyClick(editor, key)
    assert editor.currentIndex() == selected
    # The delegate commits and closes the editor once back in the event loop.
    with qtbot.waitSignal(delegate.closeEditor):
        qtbot.keyClick(editor, Key.Key_Return)
    assert model.data(model.index(0, 0), EDIT_ROLE) == State(texts, selected)
