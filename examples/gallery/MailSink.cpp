#include "MailSink.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTcpServer>

namespace {

// Written on stderr once the socket listens.
const QByteArray listening = "listening on";

// A port that was free a moment ago; another program may still take it
// before aiosmtpd binds it, which start() survives by trying again.
quint16 freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

QStringList strings(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &item : value.toArray())
        list.append(item.toString());
    return list;
}

// The addresses of an address field, given as [display name, address] pairs.
QStringList addresses(const QJsonValue &field)
{
    QStringList list;
    for (const QJsonValue &mailbox : field.toArray())
        list.append(mailbox.toArray().at(1).toString());
    return list;
}

// One line of the server's JSON output; false for anything else it prints.
bool parseMail(const QByteArray &line, MailSink::Mail *mail)
{
    const QJsonObject object = QJsonDocument::fromJson(line).object();
    if (!object.contains(QLatin1String("message")))
        return false;
    const QJsonObject headers = object.value(QLatin1String("headers")).toObject();
    const QJsonObject envelope = object.value(QLatin1String("envelope")).toObject();
    mail->text = object.value(QLatin1String("message")).toString();
    mail->subject = headers.value(QLatin1String("Subject")).toString();
    mail->to = addresses(headers.value(QLatin1String("To")));
    mail->cc = addresses(headers.value(QLatin1String("Cc")));
    mail->envelopeFrom = envelope.value(QLatin1String("from")).toString();
    mail->envelopeTo = strings(envelope.value(QLatin1String("to")));
    for (const QJsonValue &value : object.value(QLatin1String("parts")).toArray()) {
        const QJsonObject part = value.toObject();
        mail->parts.append({ part.value(QLatin1String("type")).toString(),
                             part.value(QLatin1String("filename")).toString(),
                             qint64(part.value(QLatin1String("size")).toDouble()) });
    }
    return true;
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
    // The server of lumo's own tests, with STARTTLS and a login, printing
    // each mail as a line of JSON.
    QFile script(QStringLiteral(":/gallery/smtp_server.py"));
    script.open(QIODevice::ReadOnly);
    m_process->start(python,
                     { QStringLiteral("-c"), QString::fromUtf8(script.readAll()),
                       QString::number(m_port), m_certificateDir.path(), QStringLiteral("--mode"),
                       QStringLiteral("starttls"), QStringLiteral("--name"), host(),
                       QStringLiteral("--login"), userName() + QLatin1Char(':') + password(),
                       QStringLiteral("--print"), QStringLiteral("json"),
                       QStringLiteral("--discard") });
}

QStringList MailSink::messages() const
{
    QStringList texts;
    for (const Mail &mail : m_mails)
        texts.append(mail.text);
    return texts;
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
        const QByteArray line = m_output.left(end);
        m_output.remove(0, end + 1);
        Mail mail;
        if (!parseMail(line, &mail))
            continue;
        m_mails.append(mail);
        emit mailReceived(mail);
        emit messageReceived(mail.text);
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
