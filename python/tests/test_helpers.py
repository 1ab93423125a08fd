import pytest

from conftest import QtCore, QtGui, QtWidgets, lumo

WriteOnly = QtCore.QIODevice.OpenModeFlag.WriteOnly


def labelled_dialog():
    """A dialog with a text of each kind, every one naming "Acme"."""
    dialog = QtWidgets.QDialog()
    dialog.setWindowTitle("Acme settings")
    dialog.setToolTip("Acme tip")
    layout = QtWidgets.QVBoxLayout(dialog)
    label = QtWidgets.QLabel("Welcome to Acme")
    button = QtWidgets.QPushButton("Quit Acme")
    link = QtWidgets.QCommandLinkButton("Acme", "Open Acme's site")
    box = QtWidgets.QGroupBox("Acme box")
    edit = QtWidgets.QLineEdit("Acme field")
    for widget in (label, button, link, box, edit):
        layout.addWidget(widget)
    nested = QtWidgets.QCheckBox("Acme option", box)
    nested.setToolTip("About Acme")
    for widget in (label, button, link, box, edit, nested):
        widget.setObjectName(type(widget).__name__)
    return dialog


@pytest.mark.parametrize("name,read,before", [
    (None, QtWidgets.QWidget.windowTitle, "Acme settings"),
    (None, QtWidgets.QWidget.toolTip, "Acme tip"),
    ("QLabel", QtWidgets.QLabel.text, "Welcome to Acme"),
    ("QPushButton", QtWidgets.QPushButton.text, "Quit Acme"),
    ("QCommandLinkButton", QtWidgets.QCommandLinkButton.description, "Open Acme's site"),
    ("QCheckBox", QtWidgets.QCheckBox.text, "Acme option"),
    ("QCheckBox", QtWidgets.QCheckBox.toolTip, "About Acme"),
])
def test_replace_string_in_widget_changes_titles_tips_and_captions(qtbot, name, read, before):
    dialog = labelled_dialog()
    qtbot.addWidget(dialog)
    widget = dialog if name is None else dialog.findChild(QtWidgets.QWidget, name)
    assert read(widget) == before
    lumo.QxHelpers.replaceStringInWidget(dialog, "Acme", "Zenith")
    assert read(widget) == before.replace("Acme", "Zenith")


def test_replace_string_in_widget_leaves_other_texts(qtbot):
    dialog = labelled_dialog()
    qtbot.addWidget(dialog)
    lumo.QxHelpers.replaceStringInWidget(dialog, "Acme", "Zenith")
    assert dialog.findChild(QtWidgets.QGroupBox).title() == "Acme box"
    assert dialog.findChild(QtWidgets.QLineEdit).text() == "Acme field"
    lumo.QxHelpers.replaceStringInWidget(None, "Acme", "Zenith")
    lumo.QxHelpers.replaceStringInWidget(dialog, "", "Zenith")
    assert dialog.windowTitle() == "Zenith settings"


@pytest.mark.parametrize("taken,asked,free", [
    ([], "photo.png", "photo.png"),
    (["photo.png"], "photo.png", "photo1.png"),
    (["photo.png", "photo1.png", "photo2.png"], "photo.png", "photo3.png"),
    (["archive.tar.gz"], "archive.tar.gz", "archive.tar1.gz"),
    (["report"], "report", "1.report"),
    ([".config"], ".config", "1.config"),
    (["photo.png/"], "photo.png", "photo1.png"),
])
def test_unique_filename(tmp_path, taken, asked, free):
    for name in taken:
        if name.endswith("/"):
            (tmp_path / name).mkdir()
        else:
            (tmp_path / name).write_text("")
    found = lumo.QxUniqueFilename.uniqueFilename(str(tmp_path / asked))
    assert found == str(tmp_path / free)
    assert not (tmp_path / free).exists()


def report_stream():
    buffer = QtCore.QBuffer()
    buffer.open(WriteOnly)
    return buffer, QtCore.QTextStream(buffer)


@pytest.mark.parametrize("name,written", [
    ("snap.png", True),
    ("snap.bmp", True),
    ("snap.unknown", False),
    ("missing/snap.png", False),
])
def test_snap_widget_writes_the_image_and_reports_it(qtbot, tmp_path, name, written):
    widget = QtWidgets.QLabel("snapshot")
    qtbot.addWidget(widget)
    widget.resize(120, 40)
    path = str(tmp_path / name)
    buffer, stream = report_stream()
    lumo.QxSnapWidget.snapWidget(widget, path, stream)
    report = bytes(buffer.data()).decode()
    if written:
        assert report == 'Snapshot written in "%s"\n' % path
        assert QtGui.QImage(path).size() == QtCore.QSize(120, 40)
    else:
        assert report == ""
        assert list(tmp_path.rglob("*")) == []


def test_snap_widget_without_widget_reports_nothing(tmp_path):
    buffer, stream = report_stream()
    lumo.QxSnapWidget.snapWidget(None, str(tmp_path / "snap.png"), stream)
    assert bytes(buffer.data()) == b""
    assert list(tmp_path.iterdir()) == []
