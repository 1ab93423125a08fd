import gc

import pytest

from conftest import QtCore, QtGui, QtWidgets, lumo, show_active

Key = QtCore.Qt.Key
Modifier = QtCore.Qt.KeyboardModifier
FilterMode = lumo.QxTextEditWithAutocompletion.FilterMode
WORDS = ["apple", "apricot", "banana", "market place", "QxWidget", "os.path"]


class WordEdit(lumo.QxTextEditWithAutocompletion):
    """Offers WORDS, and records the words the editor asked about."""

    def __init__(self, parent=None):
        super().__init__(parent)
        self.asked = []

    def getAllAdmissibleCompletion(self, word):
        self.asked.append(word)
        return WORDS


class DottedWordEdit(WordEdit):
    """A word runs from the last space to the cursor, dots included."""

    def tokenUnderCursor(self):
        cursor = self.textCursor()
        before = cursor.block().text()[:cursor.positionInBlock()]
        return before.rsplit(" ", 1)[-1]


def open_editor(qtbot, editor):
    """Shows the editor in a window with the focus, emptied."""
    window = QtWidgets.QWidget()
    qtbot.addWidget(window)
    QtWidgets.QVBoxLayout(window).addWidget(editor)
    window.resize(400, 300)
    show_active(qtbot, window)
    editor.setFocus()
    qtbot.waitUntil(editor.hasFocus)
    editor.clear()
    return window


def press(qtbot, window, key, modifiers=Modifier.NoModifier):
    # Through the window, as the platform delivers keys: while the popup is
    # open, Qt hands them to the popup first.
    qtbot.keyClick(window.windowHandle(), key, modifiers)


def type_text(qtbot, window, text):
    for character in text:
        press(qtbot, window, character)


def offered(editor):
    model = editor.completer().completionModel()
    return [model.index(row, 0).data() for row in range(model.rowCount())]


@pytest.mark.parametrize("mode,typed,matches,chosen", [
    (FilterMode.StartsWith, "ap", ["apple", "apricot"], "apple"),
    (FilterMode.StartsWith, "APR", ["apricot"], "APRicot"),
    (FilterMode.Contains, "an", ["banana"], "banana"),
    (FilterMode.WordStart, "pla", ["market place"], "market place"),
    (FilterMode.WordStart, "wid", ["QxWidget"], "QxWidget"),
])
def test_typed_prefix_opens_popup_and_return_completes(qtbot, mode, typed, matches, chosen):
    editor = WordEdit()
    window = open_editor(qtbot, editor)
    editor.setFilterMode(mode)
    assert editor.filterMode() == mode

    type_text(qtbot, window, typed)
    assert editor.isCompleterVisible()
    assert editor.asked[-1] == typed
    assert offered(editor) == matches

    press(qtbot, window, Key.Key_Return)
    assert editor.toPlainText() == chosen
    assert not editor.isCompleterVisible()


CTRL = Modifier.ControlModifier


@pytest.mark.parametrize("shortcut,kept,key,modifiers", [
    (None, "Ctrl+E", Key.Key_E, CTRL),
    ("Ctrl+Space", "Ctrl+Space", Key.Key_Space, CTRL),
    ("Alt+K", "Alt+K", Key.Key_K, Modifier.AltModifier),
    # Refused: the editor keeps Control+E.
    ("", "Ctrl+E", Key.Key_E, CTRL),
    ("Ctrl+K, Ctrl+C", "Ctrl+E", Key.Key_E, CTRL),
    ("Shift+Ctrl", "Ctrl+E", Key.Key_E, CTRL),
])
def test_completion_shortcut_opens_every_entry(qtbot, shortcut, kept, key, modifiers):
    editor = WordEdit()
    window = open_editor(qtbot, editor)
    if shortcut is not None:
        editor.setCompletionShortcut(QtGui.QKeySequence(shortcut))
    assert editor.completionShortcut() == QtGui.QKeySequence(kept)

    press(qtbot, window, key, modifiers)
    assert editor.isCompleterVisible()
    assert offered(editor) == WORDS
    # The shortcut's key never reaches the text.
    assert editor.toPlainText() == ""


def test_subclass_word_and_protected_update(qtbot):
    editor = DottedWordEdit()
    window = open_editor(qtbot, editor)
    type_text(qtbot, window, "see os.pa")
    assert editor.asked[-1] == "os.pa"
    assert offered(editor) == ["os.path"]
    press(qtbot, window, Key.Key_Tab)
    assert editor.toPlainText() == "see os.path"

    # A subclass may open the popup for a word of its choosing.
    editor.updateCompleter("b")
    assert editor.isCompleterVisible()
    assert offered(editor) == ["banana"]
    press(qtbot, window, Key.Key_Escape)
    assert not editor.isCompleterVisible()
    assert editor.toPlainText() == "see os.path"


def test_completer_handed_in_belongs_to_the_editor(qtbot):
    editor = WordEdit()
    window = open_editor(qtbot, editor)
    first = editor.completer()
    gone = []
    first.destroyed.connect(lambda: gone.append("first"))

    # Without a parent and without a name in Python: the editor keeps it.
    editor.setCompleter(QtWidgets.QCompleter())
    gc.collect()
    second = editor.completer()
    assert second is not None and second is not first
    assert second.caseSensitivity() == QtCore.Qt.CaseSensitivity.CaseInsensitive
    qtbot.waitUntil(lambda: gone == ["first"])

    type_text(qtbot, window, "ba")
    assert editor.isCompleterVisible()
    press(qtbot, window, Key.Key_Return)
    assert editor.toPlainText() == "banana"

    second.destroyed.connect(lambda: gone.append("second"))
    del second
    editor.setCompleter(None)
    assert editor.completer() is None
    qtbot.waitUntil(lambda: gone == ["first", "second"])
    type_text(qtbot, window, " ap")
    assert not editor.isCompleterVisible()
    assert editor.toPlainText() == "banana ap"
