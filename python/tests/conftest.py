# The same tests run against lumo (PyQt5) and lumo6 (PyQt6): LUMO_PYTHON_MODULE
# names the module, and pytest-qt is told the matching Qt binding by CTest
# (PYTEST_QT_API).
import importlib
import os

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
