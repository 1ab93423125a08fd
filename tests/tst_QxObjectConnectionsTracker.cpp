#include <lumo/QxObjectConnectionsTracker.h>

#include <QtTest>

#include <QProcess>
#include <QRegularExpression>

namespace {
const char assertNullParentArgument[] = "--construct-without-parent";

class Emitter : public QObject
{
    Q_OBJECT
signals:
    void ping();
    void value(int);
};

class Receiver : public QObject
{
    Q_OBJECT
public:
    int pings = 0;
    QList<int> values;
public slots:
    void onPing() { ++pings; }
    void onValue(int v) { values.append(v); }
};
} // namespace

class tst_QxObjectConnectionsTracker : public QObject
{
    Q_OBJECT

private slots:
    void ownMetaObject();
    void disconnectCutsAllConnections();
    void disconnectTwiceIsHarmless();
    void duplicateConnections();
    void uncodedTextsRecordedButNotConnected();
    void destroyedTrackerLeavesConnections();
    void destroyedSenderIsSkipped();
    void connectFromSendersDestroyedSignal();
    void receiverIsTheCurrentParent();
    void nullParentAsserts();
};

void tst_QxObjectConnectionsTracker::ownMetaObject()
{
    QObject parent;
    QxObjectConnectionsTracker tracker(&parent);
    QCOMPARE(tracker.parent(), &parent);
    QCOMPARE(tracker.metaObject()->className(), "QxObjectConnectionsTracker");
    QCOMPARE(tracker.metaObject()->superClass(), &QObject::staticMetaObject);
}

void tst_QxObjectConnectionsTracker::disconnectCutsAllConnections()
{
    Receiver receiver;
    auto *tracker = new QxObjectConnectionsTracker(&receiver);
    Emitter first;
    Emitter second;
    tracker->connect(&first, SIGNAL(ping()), SLOT(onPing()));
    tracker->connect(&first, SIGNAL(value(int)), SLOT(onValue(int)));
    tracker->connect(&second, SIGNAL(ping()), SLOT(onPing()));

    emit first.ping();
    emit first.value(7);
    emit second.ping();
    QCOMPARE(receiver.pings, 2);
    QCOMPARE(receiver.values, QList<int> { 7 });

    tracker->disconnectFromAllSignals();
    emit first.ping();
    emit first.value(8);
    emit second.ping();
    QCOMPARE(receiver.pings, 2);
    QCOMPARE(receiver.values, QList<int> { 7 });

    // A connection made afterwards works, and the next call cuts it too.
    tracker->connect(&second, SIGNAL(value(int)), SLOT(onValue(int)));
    emit second.value(9);
    QCOMPARE(receiver.values, (QList<int> { 7, 9 }));
    tracker->disconnectFromAllSignals();
    emit second.value(10);
    QCOMPARE(receiver.values, (QList<int> { 7, 9 }));
}

void tst_QxObjectConnectionsTracker::disconnectTwiceIsHarmless()
{
    Receiver receiver;
    auto *tracker = new QxObjectConnectionsTracker(&receiver);
    Emitter emitter;
    tracker->connect(&emitter, SIGNAL(ping()), SLOT(onPing()));
    // Connections to the parent made elsewhere survive both calls.
    QObject::connect(&emitter, &Emitter::value, &receiver, &Receiver::onValue);
    tracker->disconnectFromAllSignals();
    tracker->disconnectFromAllSignals();
    emit emitter.ping();
    emit emitter.value(1);
    QCOMPARE(receiver.pings, 0);
    QCOMPARE(receiver.values, QList<int> { 1 });
}

void tst_QxObjectConnectionsTracker::duplicateConnections()
{
    Receiver receiver;
    auto *tracker = new QxObjectConnectionsTracker(&receiver);
    Emitter emitter;
    tracker->connect(&emitter, SIGNAL(ping()), SLOT(onPing()));
    tracker->connect(&emitter, SIGNAL(ping()), SLOT(onPing()));
    emit emitter.ping();
    QCOMPARE(receiver.pings, 2);
    tracker->disconnectFromAllSignals();
    emit emitter.ping();
    QCOMPARE(receiver.pings, 2);
}

void tst_QxObjectConnectionsTracker::uncodedTextsRecordedButNotConnected()
{
    Receiver receiver;
    auto *tracker = new QxObjectConnectionsTracker(&receiver);
    Emitter emitter;
    QTest::ignoreMessage(
            QtWarningMsg,
            QRegularExpression(QStringLiteral("^QObject::connect: Use the SIGNAL macro "
                                              "to bind Emitter::ping\\(\\)$")));
    tracker->connect(&emitter, QStringLiteral("ping()"), QStringLiteral("onPing()"));
    emit emitter.ping();
    QCOMPARE(receiver.pings, 0);

    // The record stays: every call tries to cut it again.
    for (int call = 0; call < 2; ++call) {
        QTest::ignoreMessage(
                QtWarningMsg,
                QRegularExpression(QStringLiteral("^QObject::disconnect: Use the SIGNAL "
                                                  "macro to unbind Emitter::ping\\(\\)$")));
        tracker->disconnectFromAllSignals();
    }
}

void tst_QxObjectConnectionsTracker::destroyedTrackerLeavesConnections()
{
    Receiver receiver;
    auto *tracker = new QxObjectConnectionsTracker(&receiver);
    Emitter emitter;
    tracker->connect(&emitter, SIGNAL(ping()), SLOT(onPing()));
    delete tracker;
    emit emitter.ping();
    QCOMPARE(receiver.pings, 1);
}

void tst_QxObjectConnectionsTracker::destroyedSenderIsSkipped()
{
    Receiver receiver;
    auto *tracker = new QxObjectConnectionsTracker(&receiver);
    Emitter survivor;
    auto *gone = new Emitter;
    tracker->connect(gone, SIGNAL(ping()), SLOT(onPing()));
    tracker->connect(&survivor, SIGNAL(ping()), SLOT(onPing()));
    delete gone;
    // The allocator usually hands the same memory to the next object of that
    // size: cutting by the stale address would cut this connection.
    QScopedPointer<Emitter> newcomer(new Emitter);
    QObject::connect(newcomer.data(), SIGNAL(ping()), &receiver, SLOT(onPing()));

    tracker->disconnectFromAllSignals();
    emit survivor.ping();
    QCOMPARE(receiver.pings, 0);
    emit newcomer->ping();
    QCOMPARE(receiver.pings, 1);
}

// The sender is half destroyed when its destroyed() signal runs: Qt cuts the
// new connection with the rest, and the record must not outlive the sender
// (the sanitizer build reports the use after free).
void tst_QxObjectConnectionsTracker::connectFromSendersDestroyedSignal()
{
    Receiver receiver;
    auto *tracker = new QxObjectConnectionsTracker(&receiver);
    auto *gone = new Emitter;
    QObject::connect(gone, &QObject::destroyed, tracker,
                     [=] { tracker->connect(gone, SIGNAL(ping()), SLOT(onPing())); });
    delete gone;
    // Likely on the freed memory, outside the sanitizer's quarantine.
    QScopedPointer<Emitter> newcomer(new Emitter);
    QObject::connect(newcomer.data(), SIGNAL(ping()), &receiver, SLOT(onPing()));

    tracker->disconnectFromAllSignals();
    emit newcomer->ping();
    QCOMPARE(receiver.pings, 1);
}

void tst_QxObjectConnectionsTracker::receiverIsTheCurrentParent()
{
    Receiver first;
    Receiver second;
    Emitter emitter;
    auto *tracker = new QxObjectConnectionsTracker(&first);
    tracker->connect(&emitter, SIGNAL(ping()), SLOT(onPing()));
    tracker->setParent(&second);
    tracker->connect(&emitter, SIGNAL(value(int)), SLOT(onValue(int)));

    tracker->disconnectFromAllSignals();
    emit emitter.ping();
    emit emitter.value(4);
    QCOMPARE(first.pings, 1);
    QVERIFY(first.values.isEmpty());
    QCOMPARE(second.pings, 0);
    QVERIFY(second.values.isEmpty());
}

void tst_QxObjectConnectionsTracker::nullParentAsserts()
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The default message format, on stderr rather than a system log.
    environment.remove(QStringLiteral("QT_MESSAGE_PATTERN"));
    environment.insert(QStringLiteral("QT_FORCE_STDERR_LOGGING"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                { QString::fromLatin1(assertNullParentArgument) });
    QVERIFY2(child.waitForFinished(60000), qPrintable(child.errorString()));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    const QString errors = QString::fromLocal8Bit(child.readAllStandardError());
    QVERIFY2(errors.contains(QRegularExpression(
                     QStringLiteral("ASSERT: \"parent\\(\\)\" in file "
                                    "internal/QxObjectConnectionsTracker\\.cpp, line \\d+"))),
             qPrintable(errors));
    QVERIFY(child.readAllStandardOutput().isEmpty());
}

int main(int argc, char *argv[])
{
    if (argc == 2 && qstrcmp(argv[1], assertNullParentArgument) == 0) {
        QxObjectConnectionsTracker tracker(nullptr);
        // Only reached if the assertion did not stop the process.
        printf("constructed\n");
        return 0;
    }
    QCoreApplication app(argc, argv);
    tst_QxObjectConnectionsTracker test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_QxObjectConnectionsTracker.moc"
