# The same tests run against lumo (PyQt5) and lumo6 (PyQt6): LUMO_PYTHON_MODULE
# names the module, and pytest-qt is told the matching Qt binding by CTest
# (PYTEST_QT_API).
import importlib
import os
import socket
import subprocess

import pytest

MODULE_NAME = os.environ.get("LUMO_PYTHON_MODULE", "lumo")
lumo = importlib.import_module(MODULE_NAME)
PYQT = "PyQt6" if MODULE_NAME.endswith("6") else "PyQt5"
QtCore = importlib.import_module(PYQT + ".QtCore")
QtGui = importlib.import_module(PYQT + ".QtGui")
QtWidgets = importlib.import_module(PYQT + ".QtWidgets")
sip = importlib.import_module(PYQT + ".sip")


def rule(name):
    """A rounding rule by name, whether sip made the enum scoped (PyQt6) or not."""
    enum = getattr(lumo, "ZvRoundingRule")
    return getattr(enum, name, None) or getattr(lumo, name)


SMTP_SERVER = os.path.join(os.path.dirname(__file__), "..", "..", "tests", "smtp_server.py")


def show_active(qtbot, widget):
    """Shows \a widget as the active window, so that key events reach its focus."""
    with qtbot.waitActive(widget):
        widget.show()
        widget.activateWindow()


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


@pytest.fixture
def sink(tmp_path):
    """aiosmtpd on a loopback port, keeping each mail in tmp_path."""
    port = free_port()
    server = subprocess.Popen(["/usr/bin/python3", SMTP_SERVER, str(port), str(tmp_path)],
                              stdin=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    try:
        line = server.stderr.readline()
        assert line.startswith("listening on"), line
        yield port, tmp_path
    finally:
        server.stdin.close()
        server.wait(timeout=10)
        server.stderr.close()
