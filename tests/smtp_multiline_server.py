"""An aiosmtpd server whose greeting and replies to MAIL and RCPT span several
lines, each line written in two pieces with a pause between them, so that a
client sees partial lines and reads a reply over several reads.

Started by tst_QxSmtpMailSender as
    /usr/bin/python3 smtp_multiline_server.py PORT OUTDIR
It keeps mails as smtp_capture.CaptureHandler does and serves on 127.0.0.1:PORT
until its standard input is closed.
"""

import asyncio
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP

from smtp_capture import CaptureHandler

PAUSE = 0.02


class MultilineSMTP(SMTP):
    greeted = False
    preamble = None

    async def push(self, status):
        lines = []
        if not self.greeted:
            self.greeted = True
            lines = ["220-" + self.hostname + " says hello", "220-over several lines"]
        elif self.preamble and status.startswith("250 "):
            lines = self.preamble
        self.preamble = None
        for line in lines:
            for piece in (line[: len(line) // 2], line[len(line) // 2 :] + "\r\n"):
                self._writer.write(piece.encode())
                await self._writer.drain()
                await asyncio.sleep(PAUSE)
        await super().push(status)

    async def smtp_MAIL(self, arg):
        self.preamble = ["250-sender noted", "250-more to say"]
        await super().smtp_MAIL(arg)

    async def smtp_RCPT(self, arg):
        self.preamble = ["250-recipient noted"]
        await super().smtp_RCPT(arg)


class MultilineController(Controller):
    def factory(self):
        return MultilineSMTP(self.handler, **self.SMTP_kwargs)


def main():
    port, outdir = int(sys.argv[1]), sys.argv[2]
    controller = MultilineController(CaptureHandler(outdir), hostname="127.0.0.1", port=port)
    controller.start()
    sys.stdin.read()
    controller.stop()


if __name__ == "__main__":
    main()
