"""The SMTP server of lumo's tests, benchmarks and gallery: aiosmtpd on
127.0.0.1, plain or with TLS and a login on a self-signed certificate that it
makes itself, or a misbehaving server for the client's error paths.

    /usr/bin/python3 smtp_server.py PORT OUTDIR [--mode MODE] [--name NAME]
        [--login USER:PASSWORD] [--print subjects|json] [--discard] [WORD...]

MODE is
  "plain"          no TLS and no login (the default);
  "multiline"      plain, but the greeting and the replies to MAIL and RCPT
                   span several lines, each written in two pieces with a
                   pause between them, so that a client reads partial lines;
  "starttls"       STARTTLS offered, a login only over TLS;
  "implicit"       TLS from the first byte;
  "implicit-tls1.1" the same, offering TLS 1.0 and 1.1 only;
  "implicit-extensions", "starttls-extensions"
                   TLS from the first byte or after STARTTLS, and the EHLO
                   extensions given as WORDs (see serve_extensions).
In "starttls" and "implicit" the WORDs are the AUTH mechanisms offered
(default PLAIN and LOGIN). NAME is the host name the certificate is issued
for, as its common name and its one alternative name; "CN/ALT" gives it the
common name CN and the alternative name ALT. It is written to OUTDIR/cert.pem
before the server listens, in every mode. The login is USER:PASSWORD (default lumo:secret).

Unless --discard is given, each accepted mail is kept, named after the first
recipient, in OUTDIR:
    RECIPIENT.envelope  the MAIL FROM address and the RCPT TO addresses, one a line
    RECIPIENT.subject   the Subject header as a mail reader decodes it (UTF-8)
    RECIPIENT.text      the body as a mail reader decodes it (UTF-8), the text
                        part of a multipart mail
    RECIPIENT.json      the mail as Python's email package reads it: its
                        decoded header fields, its MIME type, the defects the
                        parser found and each leaf part (type, charset,
                        transfer encoding, file name, size and SHA-256 of the
                        decoded content, and the text of text parts)
    RECIPIENT.eml       the DATA bytes with the transparency dots already
                        removed by the server
    RECIPIENT.session   "tls" or "clear", and the user who logged in or "anonymous"
Recipients whose address starts with "refused" are refused (550).
--print subjects prints the subject of each mail on a line of its own before
the mail is answered; --print json prints each mail as one line of JSON: what
RECIPIENT.json holds, the envelope ("envelope": {"from": ..., "to": [...]})
and the whole mail as text ("message": its lines, decoded as UTF-8, joined by
LF). "listening on 127.0.0.1:PORT" goes to standard error
once the server listens. It serves until its standard input is closed.
"""

import argparse
import asyncio
import base64
import datetime
import hashlib
import ipaddress
import json
import os
import ssl
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult
from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import NameOID
from email import policy
from email.parser import BytesHeaderParser, BytesParser


def alternative_name(name):
    try:
        return x509.IPAddress(ipaddress.ip_address(name))
    except ValueError:
        return x509.DNSName(name)


def make_certificate(outdir, name):
    key = ec.generate_private_key(ec.SECP256R1())
    common, _, alternative = name.partition("/")
    alternative = alternative or common
    subject = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, common)])
    now = datetime.datetime.now(datetime.timezone.utc)
    certificate = (
        x509.CertificateBuilder()
        .subject_name(subject)
        .issuer_name(subject)
        .public_key(key.public_key())
        .serial_number(x509.random_serial_number())
        .not_valid_before(now - datetime.timedelta(days=1))
        .not_valid_after(now + datetime.timedelta(days=30))
        .add_extension(x509.SubjectAlternativeName([alternative_name(alternative)]), critical=False)
        .add_extension(x509.BasicConstraints(ca=True, path_length=None), critical=True)
        .sign(key, hashes.SHA256())
    )
    cert_path = os.path.join(outdir, "cert.pem")
    key_path = os.path.join(outdir, "key.pem")
    with open(key_path, "wb") as f:
        f.write(
            key.private_bytes(
                serialization.Encoding.PEM,
                serialization.PrivateFormat.PKCS8,
                serialization.NoEncryption(),
            )
        )
    with open(cert_path + ".part", "wb") as f:
        f.write(certificate.public_bytes(serialization.Encoding.PEM))
    os.replace(cert_path + ".part", cert_path)
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(cert_path, key_path)
    return context


class MailHandler:
    """Keeps each mail in outdir (None: nowhere) and prints its subject or
    a description of it, as asked."""

    def __init__(self, outdir, printed):
        self.outdir = outdir
        self.printed = printed

    def _write(self, path, data):
        with open(path + ".part", "wb") as f:
            f.write(data)
        os.replace(path + ".part", path)

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith("refused"):
            return "550 5.1.1 <%s>: no such user here" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        content = envelope.original_content or b""
        if self.printed == "subjects":
            print(BytesHeaderParser().parsebytes(content).get("Subject", ""), flush=True)
        elif self.printed == "json":
            print(json.dumps(summary(envelope, content)), flush=True)
        if self.outdir:
            name = os.path.join(self.outdir, os.path.basename(envelope.rcpt_tos[0]))
            user = session.auth_data.decode() if session.authenticated else "anonymous"
            encrypted = server.transport.get_extra_info("ssl_object") is not None
            self._write(name + ".session", f"{'tls' if encrypted else 'clear'}\n{user}".encode())
            message = BytesParser(policy=policy.default).parsebytes(content)
            lines = [envelope.mail_from] + list(envelope.rcpt_tos)
            self._write(name + ".envelope", "\n".join(lines).encode())
            self._write(name + ".subject", str(message["subject"]).encode())
            body = message.get_body(("plain",)) if message.is_multipart() else message
            self._write(name + ".text", (body.get_content() if body else "").encode())
            self._write(name + ".json", json.dumps(describe(message, content)).encode())
            self._write(name + ".eml", content)
        return "250 OK"


def describe(message, content):
    """What a mail reader sees of a mail, for the tests to compare."""
    defects = [type(d).__name__ for part in message.walk() for d in part.defects]
    parts = []
    for part in message.walk():
        if part.is_multipart():
            continue
        payload = part.get_payload(decode=True) or b""
        parts.append({
            "type": part.get_content_type(),
            "charset": part.get_content_charset(),
            "encoding": part.get("Content-Transfer-Encoding", ""),
            "filename": part.get_filename(),
            "size": len(payload),
            "sha256": hashlib.sha256(payload).hexdigest(),
            "text": part.get_content() if part.get_content_maintype() == "text" else None,
        })
    headers = {}
    for field in ("From", "To", "Cc", "Bcc", "Reply-To"):
        if field in message:
            headers[field] = [[a.display_name, a.addr_spec] for a in message[field].addresses]
    for field in ("Subject", "X-Lumo-Test"):
        if field in message:
            headers[field] = str(message[field])
    longest = max((len(line) for line in content.split(b"\r\n")), default=0)
    return {"type": message.get_content_type(), "headers": headers, "defects": defects,
            "parts": parts, "fields": list(message.keys()), "longest_line": longest}


def summary(envelope, content):
    """One mail for --print json. A mail that the email package cannot
    describe (the sink takes mail from any client) still shows its text."""
    try:
        described = describe(BytesParser(policy=policy.default).parsebytes(content), content)
    except Exception as error:  # noqa: BLE001 - whatever the parser trips over
        described = {"type": "", "headers": {}, "defects": [type(error).__name__], "parts": []}
    described["envelope"] = {"from": envelope.mail_from, "to": list(envelope.rcpt_tos)}
    described["message"] = "\n".join(l.decode("utf-8", "replace") for l in content.splitlines())
    return described


def authenticator(login):
    user, _, password = login.partition(":")

    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = auth_data.login == user.encode() and auth_data.password == password.encode()
        # Not "handled": aiosmtpd then answers a failure with 535 itself.
        return AuthResult(success=ok, handled=False, auth_data=auth_data.login)

    return authenticate


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


def listening(port):
    print(f"listening on 127.0.0.1:{port}", file=sys.stderr, flush=True)


def serve_connections(port, serve):
    """Runs serve(connection) for each connection to 127.0.0.1:PORT, the
    test's own check that the server listens included, until standard input
    is closed."""
    import socket
    import threading

    listener = socket.create_server(("127.0.0.1", port))

    def accept():
        while True:
            connection, _ = listener.accept()
            threading.Thread(target=serve, args=(connection,), daemon=True).start()

    threading.Thread(target=accept, daemon=True).start()
    listening(port)
    sys.stdin.read()


def serve_old_tls(port, context):
    """Offers TLS 1.0 and 1.1 only (OpenSSL's default security level would not
    offer them at all) and, to a client that takes them, a dialogue that
    accepts everything. aiosmtpd's start-up check cannot speak these versions."""
    import warnings

    warnings.simplefilter("ignore", DeprecationWarning)
    context.minimum_version = ssl.TLSVersion.TLSv1
    context.maximum_version = ssl.TLSVersion.TLSv1_1
    context.set_ciphers("DEFAULT:@SECLEVEL=0")

    def serve(connection):
        try:
            with context.wrap_socket(connection, server_side=True) as tls:
                tls.sendall(b"220 old TLS\r\n")
                for line in tls.makefile("rb"):
                    tls.sendall(b"354 go\r\n" if line.upper().startswith(b"DATA") else b"250 ok\r\n")
        except (ssl.SSLError, OSError):
            pass

    serve_connections(port, serve)


def serve_extensions(port, context, outdir, extensions, starttls=False):
    """TLS from the first byte (or after STARTTLS), and an EHLO reply that
    offers the given extensions ("SIZE 100", "8BITMIME", "AUTH LOGIN"). Two
    words are no extensions: "EXTRA" puts two lines after the EHLO reply's
    last line, a reply longer than asked for, and "INJECT" follows the
    STARTTLS reply, in the same segment and in clear, with the start of a line
    ("250-AUTH PLAIN ") that a careless client glues onto the first line it
    decrypts. It takes AUTH PLAIN (235) and refuses any other login (535),
    takes every mail, and writes every line it reads, commands and message,
    into OUTDIR/commands. A token login (AUTH XOAUTH2 or OAUTHBEARER, when
    offered) passes with the token "good-token"; any other gets the error
    challenge of RFC 7628 and, after the client's dummy response, a 535 that
    repeats the token it was given, as a careless server might."""
    def serve(connection):
        log = open(os.path.join(outdir, "commands"), "ab", buffering=0)
        if starttls:
            connection.sendall(b"220 hi\r\n")
            clear = connection.makefile("rb")
            for line in clear:
                log.write(line)
                if line.upper().startswith(b"STARTTLS"):
                    injected = b"250-AUTH PLAIN " if "INJECT" in extensions else b""
                    connection.sendall(b"220 go ahead\r\n" + injected)
                    break
                connection.sendall(b"250-hi\r\n250 STARTTLS\r\n")
        try:
            with context.wrap_socket(connection, server_side=True) as tls:
                if not starttls:
                    tls.sendall(b"220 hi\r\n")
                in_data = False
                refused_token = None
                for line in tls.makefile("rb"):
                    log.write(line)
                    command = line.upper()
                    if refused_token is not None:
                        tls.sendall(b"535 5.7.8 token " + refused_token + b" not accepted\r\n")
                        refused_token = None
                    elif in_data:
                        if line == b".\r\n":
                            in_data = False
                            tls.sendall(b"250 queued\r\n")
                    elif command.startswith(b"EHLO"):
                        offered = [e for e in extensions if e not in ("EXTRA", "INJECT")]
                        lines = [b"hi"] + [e.encode() for e in offered]
                        reply = b"".join(b"250-" + l + b"\r\n" for l in lines[:-1])
                        reply += b"250 " + lines[-1] + b"\r\n"
                        if "EXTRA" in extensions:
                            reply += b"250-8BITMIME\r\n250 SIZE 100000\r\n"
                        tls.sendall(reply)
                    elif command.startswith(b"AUTH PLAIN"):
                        tls.sendall(b"235 welcome\r\n")
                    elif command.startswith((b"AUTH XOAUTH2 ", b"AUTH OAUTHBEARER ")):
                        response = base64.b64decode(line.split()[2])
                        token = response.split(b"auth=Bearer ")[-1].split(b"\x01")[0]
                        if token == b"good-token":
                            tls.sendall(b"235 2.7.0 accepted\r\n")
                            continue
                        error = json.dumps({"status": "invalid_token", "schemes": "bearer",
                                            "scope": "https://mail.example/"}).encode()
                        tls.sendall(b"334 " + base64.b64encode(error) + b"\r\n")
                        refused_token = token
                    elif command.startswith(b"AUTH"):
                        tls.sendall(b"535 no\r\n")
                    elif command.startswith(b"DATA"):
                        in_data = True
                        tls.sendall(b"354 go\r\n")
                    elif command.startswith(b"QUIT"):
                        tls.sendall(b"221 bye\r\n")
                        break
                    else:
                        tls.sendall(b"250 ok\r\n")
        except (ssl.SSLError, OSError):
            pass

    serve_connections(port, serve)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("port", type=int)
    parser.add_argument("outdir")
    parser.add_argument("--mode", default="plain")
    parser.add_argument("--name", default="localhost")
    parser.add_argument("--login", default="lumo:secret")
    parser.add_argument("--print", dest="printed", choices=("subjects", "json"))
    parser.add_argument("--discard", action="store_true")
    parser.add_argument("words", nargs="*")
    arguments = parser.parse_intermixed_args()
    port, mode, words = arguments.port, arguments.mode, arguments.words
    outdir = arguments.outdir
    handler = MailHandler(None if arguments.discard else outdir, arguments.printed)
    # Made in every mode, so that a client can trust a server that then
    # offers no TLS.
    context = make_certificate(outdir, arguments.name)
    if mode in ("plain", "multiline"):
        kind = MultilineController if mode == "multiline" else Controller
        controller = kind(handler, hostname="127.0.0.1", port=port)
    else:
        if mode in ("implicit-extensions", "starttls-extensions"):
            serve_extensions(port, context, outdir, words, mode == "starttls-extensions")
            return
        if mode == "implicit-tls1.1":
            serve_old_tls(port, context)
            return
        mechanisms = words or ["PLAIN", "LOGIN"]
        options = dict(
            hostname="127.0.0.1",
            port=port,
            authenticator=authenticator(arguments.login),
            auth_exclude_mechanism=[m for m in ("PLAIN", "LOGIN") if m not in mechanisms],
        )
        if mode == "starttls":
            options.update(tls_context=context)
        elif mode == "implicit":
            # The connection is encrypted from the start, which aiosmtpd's own
            # check (it looks for STARTTLS) does not see.
            options.update(ssl_context=context, auth_require_tls=False)
        else:
            parser.error("unknown mode " + mode)
        controller = Controller(handler, **options)
    controller.start()
    listening(port)
    sys.stdin.read()
    controller.stop()


if __name__ == "__main__":
    main()
