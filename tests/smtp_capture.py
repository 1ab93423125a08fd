"""An aiosmtpd handler that keeps every accepted mail exactly as it arrived.

Started by tst_QxSmtpMailSender as
    /usr/bin/python3 -m aiosmtpd -n -l 127.0.0.1:PORT -c smtp_capture.CaptureHandler OUTDIR
For each mail it writes, named after the first recipient, into OUTDIR:
    RECIPIENT.envelope  the MAIL FROM address and the RCPT TO addresses, one a line
    RECIPIENT.subject   the Subject header as a mail reader decodes it (UTF-8)
    RECIPIENT.text      the body as a mail reader decodes it (UTF-8)
    RECIPIENT.eml       envelope.original_content: the DATA bytes with the
                        transparency dots already removed by the server
"""

import os
from email import policy
from email.parser import BytesParser


class CaptureHandler:
    def __init__(self, outdir):
        self.outdir = outdir

    @classmethod
    def from_cli(cls, parser, *args):
        if len(args) != 1:
            parser.error("CaptureHandler takes the output directory")
        return cls(args[0])

    def _write(self, path, data):
        with open(path + ".part", "wb") as f:
            f.write(data)
        os.replace(path + ".part", path)

    async def handle_DATA(self, server, session, envelope):
        name = os.path.join(self.outdir, os.path.basename(envelope.rcpt_tos[0]))
        message = BytesParser(policy=policy.default).parsebytes(envelope.original_content)
        lines = [envelope.mail_from] + list(envelope.rcpt_tos)
        self._write(name + ".envelope", "\n".join(lines).encode())
        self._write(name + ".subject", str(message["subject"]).encode())
        self._write(name + ".text", message.get_content().encode())
        self._write(name + ".eml", envelope.original_content)
        return "250 OK"
