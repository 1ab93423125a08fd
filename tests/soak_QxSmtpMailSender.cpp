// Soak test of QxSmtpMailSender against a real SMTP server (aiosmtpd) on
// loopback: many mails in sequence and many at once, every one delivered
// exactly once, every sender gone afterwards, and the heap flat over the run.

#include <lumo/QxSmtpMailSender.h>

#include "smtpserverprocess.h"

#include <QVector>

#include <memory>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime; GCC installs no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

// Bytes the program has allocated and not freed (ASan keeps its own count).
qint64 heapInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return qint64(__sanitizer_get_current_allocated_bytes());
#else
    return qint64(mallinfo2().uordblks);
#endif
}

} // namespace

class tst_QxSmtpMailSenderSoak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void inSequence();
    void atOnce();

private:
    QxSmtpMailSender *send(int number);
    void readServer();
    void expectDelivered(int from, int to);

    static constexpr int sequenceCount = 1000;
    static constexpr int concurrentCount = 50;

    std::unique_ptr<SmtpServerProcess> server;
    QByteArray serverOutput;
    // Deliveries per mail number, sized up front so that the heap measured
    // during the run holds nothing that grows with the number of mails.
    QVector<int> delivered = QVector<int>(sequenceCount + concurrentCount, 0);
    int unknownDeliveries = 0;
    int created = 0;
    int destroyed = 0;
    int succeeded = 0;
    QStringList failures;
};

void tst_QxSmtpMailSenderSoak::initTestCase()
{
    // The server prints each mail's subject as it takes the mail.
    server.reset(new SmtpServerProcess({ QStringLiteral("--print"), QStringLiteral("subjects"),
                                         QStringLiteral("--discard") }));
    if (QTest::currentTestFailed())
        return;
    connect(&server->process(), &QProcess::readyReadStandardOutput, this,
            &tst_QxSmtpMailSenderSoak::readServer);
}

void tst_QxSmtpMailSenderSoak::cleanupTestCase()
{
    server.reset();
}

void tst_QxSmtpMailSenderSoak::readServer()
{
    serverOutput += server->process().readAllStandardOutput();
    for (int end = serverOutput.indexOf('\n'); end >= 0; end = serverOutput.indexOf('\n')) {
        const QByteArray line = serverOutput.left(end).trimmed();
        serverOutput.remove(0, end + 1);
        bool ok = false;
        const int number = line.startsWith("soak ") ? line.mid(5).toInt(&ok) : -1;
        if (ok && number >= 0 && number < delivered.size())
            ++delivered[number];
        else
            ++unknownDeliveries;
    }
}

QxSmtpMailSender *tst_QxSmtpMailSenderSoak::send(int number)
{
    auto *sender = new QxSmtpMailSender("127.0.0.1", server->port());
    ++created;
    connect(sender, &QObject::destroyed, this, [this] { ++destroyed; });
    connect(sender, &QxSmtpMailSender::status, this,
            [this, number](bool success, const QString &error) {
                if (success)
                    ++succeeded;
                else
                    failures << QString("mail %1: %2").arg(number).arg(error);
            });
    sender->sendMail("soak@example.com", "sink@example.com", QString("soak %1").arg(number),
                     QString("Mail number %1.\n.\nThe line above is a single dot.\n").arg(number));
    return sender;
}

void tst_QxSmtpMailSenderSoak::expectDelivered(int from, int to)
{
    QTRY_COMPARE_WITH_TIMEOUT(std::accumulate(delivered.begin() + from, delivered.begin() + to, 0),
                              to - from, 30000);
    for (int number = from; number < to; ++number)
        QVERIFY2(delivered[number] == 1,
                 qPrintable(
                         QString("mail %1 delivered %2 times").arg(number).arg(delivered[number])));
    QCOMPARE(unknownDeliveries, 0);
}

void tst_QxSmtpMailSenderSoak::inSequence()
{
    // The heap is measured once the first mails have warmed up Qt's own
    // one-time state (socket engine, codecs, event dispatcher).
    const int warmUp = 100;
    qint64 heapAfterWarmUp = 0;
    for (int number = 0; number < sequenceCount; ++number) {
        // Waiting on the signal itself, not by polling, keeps the run short.
        QSignalSpy gone(send(number), &QObject::destroyed);
        QVERIFY2(gone.wait(10000), qPrintable(QString("mail %1 never ended").arg(number)));
        QCOMPARE(destroyed, number + 1);
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
        if (number + 1 == warmUp)
            heapAfterWarmUp = heapInUse();
    }
    const qint64 growth = heapInUse() - heapAfterWarmUp;

    QCOMPARE(succeeded, sequenceCount);
    QCOMPARE(created - destroyed, 0);
    expectDelivered(0, sequenceCount);
    // A sender or its socket kept alive per mail would add hundreds of kB. The
    // sanitizer build counts exactly (and stays flat to the byte); glibc's
    // count drifts by some kB as its per-thread caches fill.
    QVERIFY2(growth < 64 * 1024,
             qPrintable(QString("heap grew by %1 bytes over %2 mails")
                                .arg(growth)
                                .arg(sequenceCount - warmUp)));
}

void tst_QxSmtpMailSenderSoak::atOnce()
{
    const int first = sequenceCount;
    const int before = destroyed;
    for (int number = first; number < first + concurrentCount; ++number)
        send(number);
    QTRY_COMPARE_WITH_TIMEOUT(destroyed - before, concurrentCount, 30000);
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join('\n')));
    QCOMPARE(succeeded, sequenceCount + concurrentCount);
    QCOMPARE(created - destroyed, 0);
    expectDelivered(first, first + concurrentCount);
}

QTEST_GUILESS_MAIN(tst_QxSmtpMailSenderSoak)
#include "soak_QxSmtpMailSender.moc"
