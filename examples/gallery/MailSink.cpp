#include "MailSink.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTcpServer>

namespace {

// The server: aiosmtpd's debugging handler, which prints each mail, behind
// STARTTLS on a certificate made here, with a login after it.
// Arguments: port, certificate directory, host, user, password.
const char serverScript[] = R"(
import datetime, os, sys
from aiosmtpd.controller import Controller
from aiosmtpd.handlers import Debugging
from aiosmtpd.smtp import AuthResult
from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import NameOID
import ssl

port, directory, host, user, password = sys.argv[1:6]
key = ec.generate_private_key(ec.SECP256R1())
name = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, host)])
now = datetime.datetime.now(datetime.timezone.utc)
certificate = (x509.CertificateBuilder().subject_name(name).issuer_name(name)
    .public_key(key.public_key()).serial_number(x509.random_serial_number())
    .not_valid_before(now - datetime.timedelta(days=1))
    .not_valid_after(now + datetime.timedelta(days=30))
    .sign(key, hashes.SHA256()))
cert_path = os.path.join(directory, "cert.pem")
key_path = os.path.join(directory, "key.pem")
with open(key_path, "wb") as f:
    f.write(key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                              serialization.NoEncryption()))
with open(cert_path, "wb") as f:
    f.write(certificate.public_bytes(serialization.Encoding.PEM))
context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
context.load_cert_chain(cert_path, key_path)

def authenticate(server, session, envelope, mechanism, data):
    ok = data.login == user.encode() and data.password == password.encode()
    return AuthResult(success=ok, handled=False)

controller = Controller(Debugging(sys.stdout), hostname=host, port=int(port),
                        tls_context=context, authenticator=authenticate)
controller.start()
print("Server is listening on %s:%s" % (host, port), file=sys.stderr, flush=True)
sys.stdin.read()
controller.stop()
)";

// What aiosmtpd's default (debugging) handler prints around each mail.
const QByteArray messageBegins = "---------- MESSAGE FOLLOWS ----------";
const QByteArray messageEnds = "------------ END MESSAGE ------------";
// Logged on stderr (with -d) once the socket listens.
const QByteArray listening = "Server is listening on";

// A port that was free a moment ago; another program may still take it
// before aiosmtpd binds it, which start() survives by trying again.
quint16 freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace

MailSink::MailSink(QObject *parent)
    : QObject(parent)
{
}

MailSink::~MailSink()
{
    stop();
}

QString MailSink::program()
{
    return QStandardPaths::findExecutable(QStringLiteral("aiosmtpd"));
}

void MailSink::start()
{
    if (m_process)
        return;
    m_attempts = 0;
    launch();
}

void MailSink::launch()
{
    const QString aiosmtpd = program();
    if (aiosmtpd.isEmpty()) {
        emit failed(tr("aiosmtpd was not found; install the Debian package python3-aiosmtpd"));
        return;
    }
    m_port = freeLoopbackPort();
    if (m_port == 0) {
        emit failed(tr("no free port on 127.0.0.1"));
        return;
    }
    ++m_attempts;
    m_output.clear();
    m_diagnostics.clear();
    m_messageLines.clear();
    m_inMessage = false;

    m_process = new QProcess(this);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Each mail is shown as it arrives, not when a pipe buffer fills.
    environment.insert(QStringLiteral("PYTHONUNBUFFERED"), QStringLiteral("1"));
    m_process->setProcessEnvironment(environment);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &MailSink::readOutput);
    connect(m_process, &QProcess::readyReadStandardError, this, &MailSink::readDiagnostics);
    connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &MailSink::finished);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finished();
    });
    // The interpreter beside aiosmtpd is the one that has its module.
    const QString python = QFile::exists(QStringLiteral("/usr/bin/python3"))
            ? QStringLiteral("/usr/bin/python3")
            : QStandardPaths::findExecutable(QStringLiteral("python3"));
    m_process->start(python,
                     { QStringLiteral("-c"), QString::fromUtf8(serverScript),
                       QString::number(m_port), m_certificateDir.path(), host(), userName(),
                       password() });
}

QList<QSslCertificate> MailSink::certificates() const
{
    if (!m_listening)
        return {};
    return QSslCertificate::fromPath(m_certificateDir.filePath(QStringLiteral("cert.pem")));
}

void MailSink::stop()
{
    if (!m_process)
        return;
    QProcess *process = m_process;
    m_process = nullptr;
    m_listening = false;
    process->disconnect(this);
    process->terminate();
    if (!process->waitForFinished(3000)) {
        process->kill();
        process->waitForFinished(3000);
    }
    process->deleteLater();
}

void MailSink::readDiagnostics()
{
    m_diagnostics += m_process->readAllStandardError();
    if (!m_listening && m_diagnostics.contains(listening)) {
        m_listening = true;
        emit started(m_port);
    }
    // Only the tail is kept, to explain a failure.
    if (m_diagnostics.size() > 4096)
        m_diagnostics = m_diagnostics.right(2048);
}

void MailSink::readOutput()
{
    m_output += m_process->readAllStandardOutput();
    int end;
    while ((end = m_output.indexOf('\n')) >= 0) {
        QByteArray line = m_output.left(end);
        m_output.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line == messageBegins) {
            m_inMessage = true;
            m_messageLines.clear();
        } else if (line == messageEnds && m_inMessage) {
            m_inMessage = false;
            const QString message = m_messageLines.join(QLatin1Char('\n'));
            m_messages.append(message);
            emit messageReceived(message);
        } else if (m_inMessage) {
            m_messageLines.append(QString::fromUtf8(line));
        }
    }
}

void MailSink::finished()
{
    const bool wasListening = m_listening;
    const QString diagnostics = QString::fromLocal8Bit(m_diagnostics).trimmed();
    const QString error = m_process ? m_process->errorString() : QString();
    stop();
    if (!wasListening && m_attempts < 3 && diagnostics.contains(QStringLiteral("in use"))) {
        launch();
        return;
    }
    const QString tail = diagnostics.section(QLatin1Char('\n'), -3);
    emit failed(wasListening
                        ? tr("the mail sink stopped: %1").arg(tail)
                        : tr("the mail sink did not start: %1").arg(tail.isEmpty() ? error : tail));
}
