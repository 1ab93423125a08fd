#!/usr/bin/python3
"""A price offer sent by mail: lumo from PyQt.

A field that rounds the typed price to cents as you leave it, a double
slider on the same price, and a QxSmtpMailSender that mails the offer.

    /usr/bin/python3 price_mail.py                  # sends through the local sink
    /usr/bin/python3 price_mail.py --smtp HOST:PORT # or through a server of yours

Without --smtp it starts the local sink of lumo's gallery and tests
(tests/smtp_server.py, Debian's aiosmtpd on a free port of 127.0.0.1), so
nothing leaves the machine; each mail it receives is printed.
Uses the `lumo` module (PyQt5) where installed, else `lumo6` (PyQt6); set
PYTHONPATH to the module's folder of an install prefix.
"""

import argparse
import os
import socket
import subprocess
import sys
import tempfile

try:
    import lumo
    from PyQt5 import QtCore, QtWidgets
except ImportError:
    import lumo6 as lumo
    from PyQt6 import QtCore, QtWidgets

SINK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "smtp_server.py")


class OfferWindow(QtWidgets.QWidget):
    """The form: price, recipient, Send, and what became of the last mail."""

    def __init__(self, host, port):
        super().__init__()
        self.host, self.port = host, port
        self.setWindowTitle("Price offer")

        self.price = QtWidgets.QLineEdit()
        self.price.setAccessibleName("Price")
        # Rounds what is typed to two decimals when the field is left.
        self.price.setValidator(lumo.QxFixedDecimalsValidator(2, self.price))
        self.slider = lumo.QxDoubleSlider(self)
        self.slider.setOrientation(QtCore.Qt.Orientation.Horizontal)
        self.slider.setAccessibleName("Price")
        self.slider.setRange(0.0, 100.0)
        self.slider.setSingleStep(0.5)
        self.slider.setPageStep(10.0)
        self.slider.setValue(12.5)
        self.showSliderPrice(self.slider.value())
        self.recipient = lumo.QxMailAddressEdit(self)
        self.recipient.setAccessibleName("Recipient")
        self.recipient.setText("customer@example.org")
        self.send = QtWidgets.QPushButton("Send offer")
        self.outcome = QtWidgets.QLabel()

        form = QtWidgets.QFormLayout(self)
        form.addRow("Price:", self.price)
        form.addRow("", self.slider)
        form.addRow("Recipient:", self.recipient)
        form.addRow(self.send)
        form.addRow(self.outcome)

        self.price.editingFinished.connect(self.takeTypedPrice)
        self.slider.doubleValueChanged.connect(self.showSliderPrice)
        self.recipient.textChanged.connect(self.updateSend)
        self.send.clicked.connect(self.sendOffer)

    def takeTypedPrice(self):
        value, ok = self.locale().toDouble(self.price.text())
        if ok:
            self.slider.setValue(value)

    def showSliderPrice(self, value):
        self.price.setText(self.locale().toString(value, "f", 2))

    def updateSend(self):
        self.send.setEnabled(self.recipient.isValid())

    def sendOffer(self):
        sender = lumo.QxSmtpMailSender(self.host, self.port)
        sender.setTimeout(30000)
        sender.status.connect(self.showOutcome)
        self.send.setEnabled(False)
        self.outcome.setText("Sending...")
        sender.sendMail("shop@example.org", self.recipient.text(), "Our offer",
                        f"We offer the item at {self.price.text()} EUR.\n")
        # No reference is kept: once it sends, the sender lives until its
        # outcome, and deletes itself after a success.

    def showOutcome(self, success, error):
        if not success and not error.startswith("Unexpected reply from smtp server : "):
            # After these failures the creator deletes the sender.
            self.sender().deleteLater()
        self.outcome.setText("Sent." if success else error)
        self.updateSend()


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--smtp", metavar="HOST:PORT", help="the SMTP server (default: a local sink)")
    arguments, qt_arguments = parser.parse_known_args()
    app = QtWidgets.QApplication(sys.argv[:1] + qt_arguments)
    if arguments.smtp:
        host, _, port = arguments.smtp.rpartition(":")
        window = OfferWindow(host, int(port))
        window.show()
        return app.exec()
    with tempfile.TemporaryDirectory() as workdir:
        port = free_port()
        sink = subprocess.Popen(["/usr/bin/python3", SINK, str(port), workdir, "--discard",
                                 "--print", "subjects"], stdin=subprocess.PIPE, stderr=subprocess.PIPE)
        print(sink.stderr.readline().decode().strip(), "(the subject of each mail follows)", flush=True)
        window = OfferWindow("127.0.0.1", port)
        window.show()
        try:
            return app.exec()
        finally:
            sink.stdin.close()
            sink.wait()


if __name__ == "__main__":
    sys.exit(main())
