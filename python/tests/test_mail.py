import gc
import json
import weakref

import pytest

from conftest import QtCore, free_port, lumo, sip


class Sender(lumo.QxSmtpMailSender):
    """A sender that records its outcomes and, as its creator must after a
    failure, deletes itself then."""

    def __init__(self, port, outcomes):
        super().__init__("127.0.0.1", port)
        self.outcomes = outcomes
        self.status.connect(self.record)

    def record(self, success, error):
        self.outcomes.append((success, error))
        if not success:
            self.deleteLater()


def test_mail_is_delivered_and_its_status_received(qtbot, sink):
    port, outdir = sink
    sender = lumo.QxSmtpMailSender("127.0.0.1", port)
    with qtbot.waitSignal(sender.status, timeout=10000) as blocker:
        sender.sendMail("me@example.org", "you@example.org", "Grüße", "Hello\n.from Python\n")
    assert blocker.args[0] is True
    assert not blocker.args[1]
    assert (outdir / "you@example.org.subject").read_text(encoding="utf-8").strip() == "Grüße"
    assert (outdir / "you@example.org.text").read_text(encoding="utf-8") == "Hello\n.from Python\n"
    # After success the sender deletes itself; the wrapper then reports a
    # deleted object instead of reaching freed memory.
    qtbot.waitUntil(lambda: sip.isdeleted(sender), timeout=10000)
    with pytest.raises(RuntimeError):
        sender.timeout()


def test_keyword_arguments_connect_signals_as_for_any_qobject(qtbot):
    outcomes = []
    sender = lumo.QxSmtpMailSender("127.0.0.1", free_port(), status=lambda *args: outcomes.append(args))
    sender.sendMail("me@example.org", "", "No recipient", "")
    qtbot.waitUntil(lambda: len(outcomes) == 1)
    assert outcomes[0][1].startswith("Refused : ")
    sender.deleteLater()
    with pytest.raises(TypeError):
        lumo.QxSmtpMailSender("127.0.0.1", 25, noSuchProperty=1)


@pytest.mark.parametrize("case,expected", [
    ("delivered", None),
    ("refused", "Refused : "),
    ("no server", "Socket Error : "),
])
def test_sender_dropped_before_its_outcome(qtbot, sink, case, expected):
    port, outdir = sink
    outcomes = []
    sender = Sender(free_port() if case == "no server" else port, outcomes)
    sender.sendMail("me@example.org", "bad address@example.org" if case == "refused"
                    else "dropped@example.org", "Dropped", "Sent after Python let go")
    # Python lets go before the outcome: the mail goes on, the outcome is
    # reported once, and the sender (deleted by itself or by its slot) takes
    # its Python object with it.
    reference = weakref.ref(sender)
    del sender
    gc.collect()
    qtbot.waitUntil(lambda: reference() is None, timeout=10000)
    assert len(outcomes) == 1
    success, error = outcomes[0]
    if expected is None:
        assert success and not error
        assert (outdir / "dropped@example.org.text").read_text(encoding="utf-8") \
            == "Sent after Python let go\n"
    else:
        assert not success and error.startswith(expected)


def test_message_with_attachment_reports_progress(qtbot, sink):
    port, outdir = sink
    payload = bytes(range(256)) * 4096
    message = lumo.QxMailMessage()
    message.setFrom("me@example.org", "Ich")
    message.addTo("you@example.org", "Du")
    message.addBcc("hidden@example.org")
    message.setSubject("With a file")
    message.setText("See the file.")
    message.addDataAttachment(QtCore.QByteArray(payload), "daten.bin")
    sender = lumo.QxSmtpMailSender("127.0.0.1", port)
    steps = []
    sender.progress.connect(lambda sent, total: steps.append((sent, total)))
    with qtbot.waitSignal(sender.status, timeout=10000) as blocker:
        sender.sendMessage(message)
    assert blocker.args[0] is True
    assert steps and steps[-1][0] == steps[-1][1]
    assert [sent for sent, _ in steps] == sorted(set(sent for sent, _ in steps))

    kept = json.loads((outdir / "you@example.org.json").read_text(encoding="utf-8"))
    envelope = (outdir / "you@example.org.envelope").read_text(encoding="utf-8").split()
    assert "hidden@example.org" in envelope
    assert "hidden" not in json.dumps(kept["headers"])
    files = [part for part in kept["parts"] if part.get("filename") == "daten.bin"]
    assert len(files) == 1 and files[0]["size"] == len(payload)
