"""An aiosmtpd server with TLS and a login, on a self-signed certificate that
it makes itself.

Started by tst_QxSmtpMailSender as
    /usr/bin/python3 smtp_tls_server.py PORT OUTDIR MODE NAME [MECHANISM...]
MODE is "starttls" (STARTTLS offered, login only over TLS), "implicit" (TLS from
the first byte), "implicit-tls1.1" (the same, offering TLS 1.0 and 1.1 only),
"implicit-extensions" or "starttls-extensions"
(TLS from the first byte or after STARTTLS, and the EHLO extensions given
instead of mechanisms, see serve_extensions) or
"plain" (no TLS at all, no login). NAME is the host name the certificate is
issued for, as its common name and its one alternative name; "CN/ALT" gives it
the common name CN and the alternative name ALT. It is written to
OUTDIR/cert.pem before the server listens. The server offers the given AUTH mechanisms (default PLAIN and LOGIN)
and takes the user "lumo" with the password "secret". It keeps mails as
smtp_capture.CaptureHandler does, and for each also writes RECIPIENT.session:
"tls" or "clear", and the user who logged in or "anonymous". It serves on
127.0.0.1:PORT until its standard input is closed.
"""

import datetime
import os
import ssl
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult
from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import NameOID

from smtp_capture import CaptureHandler


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
        .not_valid_after(now + datetime.timedelta(days=1))
        .add_extension(x509.SubjectAlternativeName([x509.DNSName(alternative)]), critical=False)
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


def authenticate(server, session, envelope, mechanism, auth_data):
    ok = auth_data.login == b"lumo" and auth_data.password == b"secret"
    # Not "handled": aiosmtpd then answers a failure with 535 itself.
    return AuthResult(success=ok, handled=False, auth_data=auth_data.login)


class SessionHandler(CaptureHandler):
    async def handle_DATA(self, server, session, envelope):
        name = os.path.join(self.outdir, os.path.basename(envelope.rcpt_tos[0]))
        user = session.auth_data.decode() if session.authenticated else "anonymous"
        encrypted = server.transport.get_extra_info("ssl_object") is not None
        tls = "tls" if encrypted else "clear"
        self._write(name + ".session", f"{tls}\n{user}".encode())
        return await super().handle_DATA(server, session, envelope)


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
    into OUTDIR/commands."""
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
                for line in tls.makefile("rb"):
                    log.write(line)
                    command = line.upper()
                    if in_data:
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
    port, outdir, mode, name = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
    mechanisms = sys.argv[5:] or ["PLAIN", "LOGIN"]
    context = make_certificate(outdir, name)
    options = dict(
        hostname="127.0.0.1",
        port=port,
        authenticator=authenticate,
        auth_exclude_mechanism=[m for m in ("PLAIN", "LOGIN") if m not in mechanisms],
    )
    if mode == "starttls":
        options.update(tls_context=context)
    elif mode in ("implicit-extensions", "starttls-extensions"):
        serve_extensions(port, context, outdir, sys.argv[5:], mode == "starttls-extensions")
        return
    elif mode == "implicit-tls1.1":
        serve_old_tls(port, context)
        return
    elif mode == "implicit":
        # The connection is encrypted from the start, which aiosmtpd's own
        # check (it looks for STARTTLS) does not see.
        options.update(ssl_context=context, auth_require_tls=False)
    controller = Controller(SessionHandler(outdir), **options)
    controller.start()
    sys.stdin.read()
    controller.stop()


if __name__ == "__main__":
    main()
