"""aiosmtpd handler for the mail sender's soak test.

Run as: python3 -m aiosmtpd -n -l 127.0.0.1:PORT -c smtp_sink.RecordingHandler
with this directory on PYTHONPATH. Prints the subject of every message it
accepts on a line of its own, before it answers the end of the message.
"""

from email.parser import BytesHeaderParser


class RecordingHandler:
    async def handle_DATA(self, server, session, envelope):
        headers = BytesHeaderParser().parsebytes(envelope.original_content or b"")
        print(headers.get("Subject", ""), flush=True)
        return "250 OK"
