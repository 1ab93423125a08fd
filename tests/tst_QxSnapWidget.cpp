#include <lumo/QxSnapWidget.h>

#include <QtTest>

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTranslator>

#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

namespace {
// Paints only its left half red; the rest is left to whatever lies beneath.
class HalfPainted : public QWidget
{
public:
    HalfPainted()
    {
        setAttribute(Qt::WA_NoSystemBackground);
        resize(120, 80);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(0, 0, width() / 2, height(), Qt::red);
    }
};

class FakeTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QxSnapWidget") == 0
            && qstrcmp(sourceText, "Snapshot written in") == 0)
            return QStringLiteral("Capture écrite dans");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

// Limits the size of files this process writes, as a full disk does: a write
// beyond the limit fails (EFBIG) instead of raising SIGXFSZ. Restores both on
// destruction, also when a check fails halfway.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_valid = getrlimit(RLIMIT_FSIZE, &m_previous) == 0;
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        m_valid = m_valid && setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    bool isValid() const { return m_valid; }

private:
    rlimit m_previous {};
    void (*m_previousHandler)(int) = nullptr;
    bool m_valid = false;
};
} // namespace

class tst_QxSnapWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pngOfWidgetSizeWithTransparency();
    void logicalSizeOnScaledScreen();
    void reportLine_data();
    void reportLine();
    void reportIsTranslated();
    void noLineOnFailure_data();
    void noLineOnFailure();
    void fullDisk_data();
    void fullDisk();
    void nullWidgetDoesNothing();
    void specialFileWrittenInPlace_data();
    void specialFileWrittenInPlace();
    void specialFileReaderLeaves();

private:
    QScopedPointer<QTemporaryDir> m_dir;
};

void tst_QxSnapWidget::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

void tst_QxSnapWidget::pngOfWidgetSizeWithTransparency()
{
    HalfPainted widget;
    auto *child = new QWidget(&widget);
    child->setGeometry(80, 10, 20, 20);
    child->setAutoFillBackground(true);
    QPalette palette = child->palette();
    palette.setColor(QPalette::Window, Qt::blue);
    child->setPalette(palette);

    const QString path = m_dir->filePath(QStringLiteral("snap.png"));
    QString report;
    QTextStream stream(&report);
    QxSnapWidget::snapWidget(&widget, path, stream);
    QVERIFY(!report.isEmpty());

    const QByteArray format = QImageReader::imageFormat(path);
    QCOMPARE(format, QByteArray("png"));
    const QImage image(path);
    QCOMPARE(image.size(), QSize(120, 80));
    QVERIFY(image.hasAlphaChannel());
    QCOMPARE(image.pixel(10, 40), qRgba(255, 0, 0, 255));
    QCOMPARE(image.pixel(90, 20), qRgba(0, 0, 255, 255));
    QCOMPARE(qAlpha(image.pixel(70, 40)), 0);
    QCOMPARE(qAlpha(image.pixel(119, 79)), 0);
}

void tst_QxSnapWidget::logicalSizeOnScaledScreen()
{
    // The file has the widget's size in logical pixels, however the screen is
    // scaled: Qt 6 always scales by the screen, Qt 5 only when asked. The
    // test also runs with QT_SCALE_FACTOR=2, where QWidget::grab() would give
    // twice the size on either version.
    const qreal scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
            ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
            : 1.0;
    HalfPainted widget;
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QCOMPARE(widget.devicePixelRatioF(), scale);

    const QString path = m_dir->filePath(QStringLiteral("scaled.png"));
    QString report;
    QTextStream stream(&report);
    QxSnapWidget::snapWidget(&widget, path, stream);
    QVERIFY(!report.isEmpty());
    const QImage image(path);
    QCOMPARE(image.size(), QSize(120, 80));
    QCOMPARE(image.pixel(59, 79), qRgba(255, 0, 0, 255));
    QCOMPARE(qAlpha(image.pixel(60, 0)), 0);
}

void tst_QxSnapWidget::reportLine_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("relative");

    QTest::newRow("absolute") << "snap.png" << false;
    QTest::newRow("relative") << "snap.png" << true;
    QTest::newRow("relative with dot segment") << "./sub/../snap.png" << true;
    QTest::newRow("spaces and quotes kept as they are") << "my \"best\" snap.png" << true;
    QTest::newRow("other format by suffix") << "snap.bmp" << true;
}

// The line goes through a device-backed stream, which buffers: finding it in
// the device shows that the line end flushed it.
void tst_QxSnapWidget::reportLine()
{
    QFETCH(QString, path);
    QFETCH(bool, relative);
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("sub"))));

    const QString startDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    if (!relative)
        path = m_dir->filePath(path);

    HalfPainted widget;
    QBuffer device;
    device.open(QIODevice::WriteOnly);
    QTextStream stream(&device);
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    stream.setCodec("UTF-8"); // Qt 6 streams are UTF-8 by default
#endif
    QxSnapWidget::snapWidget(&widget, path, stream);
    const QString written = QString::fromUtf8(device.data());
    const bool exists = QFile::exists(path);
    QDir::setCurrent(startDirectory);

    QCOMPARE(written, QStringLiteral("Snapshot written in \"") + path + QStringLiteral("\"\n"));
    QVERIFY(exists);
}

void tst_QxSnapWidget::reportIsTranslated()
{
    FakeTranslator translator;
    QCoreApplication::installTranslator(&translator);
    HalfPainted widget;
    QString report;
    QTextStream stream(&report);
    const QString path = m_dir->filePath(QStringLiteral("snap.png"));
    QxSnapWidget::snapWidget(&widget, path, stream);
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(report, QStringLiteral("Capture écrite dans \"") + path + QStringLiteral("\"\n"));
}

void tst_QxSnapWidget::noLineOnFailure_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("zero width") << QSize(0, 50) << "snap.png";
    QTest::newRow("zero height") << QSize(50, 0) << "snap.png";
    QTest::newRow("suffix without writer") << QSize(50, 50) << "snap.unknownformat";
    QTest::newRow("no suffix") << QSize(50, 50) << "snap";
    QTest::newRow("missing directory") << QSize(50, 50) << "missing/snap.png";
}

void tst_QxSnapWidget::noLineOnFailure()
{
    QFETCH(QSize, size);
    QFETCH(QString, fileName);

    QWidget widget;
    widget.resize(size);
    QCOMPARE(widget.size(), size);
    const QString path = m_dir->filePath(fileName);
    QString report;
    QTextStream stream(&report);
    QxSnapWidget::snapWidget(&widget, path, stream);
    QCOMPARE(report, QString());
    QVERIFY(!QFile::exists(path));
}

void tst_QxSnapWidget::fullDisk_data()
{
    QTest::addColumn<int>("bytesThatFit");
    QTest::addColumn<QByteArray>("previousContent");

    // clang-format off
    QTest::newRow("nothing fits") << 0 << QByteArray();
    QTest::newRow("a part fits") << 100 << QByteArray();
    QTest::newRow("nothing fits, earlier file kept") << 0 << QByteArray("earlier snapshot");
    QTest::newRow("a part fits, earlier file kept") << 100 << QByteArray("earlier snapshot");
    // clang-format on
}

// The image is small enough to sit in the file's write buffer until it is
// closed, so only a checked close or commit finds out that the disk is full.
void tst_QxSnapWidget::fullDisk()
{
    QFETCH(int, bytesThatFit);
    QFETCH(QByteArray, previousContent);

    const QString path = m_dir->filePath(QStringLiteral("snap.png"));
    if (!previousContent.isNull()) {
        QFile previous(path);
        QVERIFY(previous.open(QIODevice::WriteOnly));
        QCOMPARE(previous.write(previousContent), qint64(previousContent.size()));
    }
    HalfPainted widget;
    QString report;
    QTextStream stream(&report);
    {
        const FileSizeLimit limit(static_cast<rlim_t>(bytesThatFit));
        QVERIFY(limit.isValid());
        QxSnapWidget::snapWidget(&widget, path, stream);
    }

    QCOMPARE(report, QString());
    const QStringList expectedEntries
            = previousContent.isNull() ? QStringList() : QStringList { QStringLiteral("snap.png") };
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             expectedEntries);
    if (!previousContent.isNull()) {
        QFile previous(path);
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QCOMPARE(previous.readAll(), previousContent);
    }
}

void tst_QxSnapWidget::nullWidgetDoesNothing()
{
    const QString path = m_dir->filePath(QStringLiteral("snap.png"));
    QString report;
    QTextStream stream(&report);
    QxSnapWidget::snapWidget(nullptr, path, stream);
    QCOMPARE(report, QString());
    QVERIFY(!QFile::exists(path));
}

void tst_QxSnapWidget::specialFileWrittenInPlace_data()
{
    QTest::addColumn<bool>("throughLink");
    QTest::addColumn<bool>("withReader");

    QTest::newRow("named pipe with a reader") << false << true;
    QTest::newRow("link to a named pipe with a reader") << true << true;
    QTest::newRow("named pipe without a reader") << false << false;
    QTest::newRow("link to a named pipe without a reader") << true << false;
}

// A special file (here a named pipe, standing for a device too) is written
// into, never replaced by a regular file; without a reader the snapshot fails
// at once, with no report line, rather than wait.
void tst_QxSnapWidget::specialFileWrittenInPlace()
{
    QFETCH(bool, throughLink);
    QFETCH(bool, withReader);

    const QByteArray pipe = QFile::encodeName(m_dir->filePath(QStringLiteral("pipe.png")));
    QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
    QString path = QFile::decodeName(pipe);
    if (throughLink) {
        path = m_dir->filePath(QStringLiteral("link.png"));
        QVERIFY(QFile::link(QFile::decodeName(pipe), path));
    }
    // The reader's end, open before the snapshot; the image fits the pipe's buffer.
    const int reader = withReader ? ::open(pipe.constData(), O_RDONLY | O_NONBLOCK) : -1;
    QCOMPARE(reader >= 0, withReader);

    HalfPainted widget;
    QString report;
    QTextStream stream(&report);
    QxSnapWidget::snapWidget(&widget, path, stream);
    QCOMPARE(!report.isEmpty(), withReader);

    struct stat info;
    QCOMPARE(::stat(pipe.constData(), &info), 0);
    QVERIFY(S_ISFIFO(info.st_mode));
    if (withReader) {
        QByteArray received;
        char chunk[4096];
        for (ssize_t n; (n = ::read(reader, chunk, sizeof chunk)) > 0;)
            received.append(chunk, int(n));
        ::close(reader);
        QImage image;
        QVERIFY(image.loadFromData(received, "PNG"));
        QCOMPARE(image.size(), widget.size());
    }
}

// A reader that leaves while the snapshot is still being written fails the
// snapshot; the broken pipe must not end the application.
void tst_QxSnapWidget::specialFileReaderLeaves()
{
    const QByteArray pipe = QFile::encodeName(m_dir->filePath(QStringLiteral("pipe.png")));
    QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
    const int reader = ::open(pipe.constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    // The smallest buffer the pipe takes; the image, noise, is far larger.
    const int capacity = ::fcntl(reader, F_SETPIPE_SZ, 4096);
    QVERIFY(capacity > 0);
    QImage noise(400, 400, QImage::Format_ARGB32);
    QRandomGenerator random(1);
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, random.generate());
    }
    QLabel widget;
    widget.setPixmap(QPixmap::fromImage(noise));
    widget.resize(noise.size());

    // The reader leaves once the writer has filled the pipe and waits.
    std::thread leaving([reader, capacity] {
        for (int waited = 0; waited < 10000; ++waited) {
            int queued = 0;
            if (::ioctl(reader, FIONREAD, &queued) == 0 && queued >= capacity)
                break;
            ::usleep(1000);
        }
        ::close(reader);
    });
    QString report;
    QTextStream stream(&report);
    QxSnapWidget::snapWidget(&widget, QFile::decodeName(pipe), stream);
    leaving.join();
    QCOMPARE(report, QString());

    sigset_t pending;
    sigemptyset(&pending);
    QCOMPARE(sigpending(&pending), 0);
    QVERIFY(!sigismember(&pending, SIGPIPE));
}

QTEST_MAIN(tst_QxSnapWidget)
#include "tst_QxSnapWidget.moc"
