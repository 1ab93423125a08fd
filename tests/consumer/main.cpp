// Builds against an installed lumo and uses it the way an application does:
// from CMake (find_package) and from a plain Makefile (pkg-config), under
// QT_NO_KEYWORDS with pointer-to-member connects. Prints the slider-with-spin-
// box form's window title, which the library translates by itself, and where
// the process found what it runs on: the liblumo.so it loaded, the Qt version,
// the .qm file the library loaded, and every Qt and lumo library it mapped.

// Each of the three ways to name a header: Qt's style, with and without the
// folder, and the file name.
#include <QxDoubleSlider>
#include <lumo/QxCustomValidator.h>
#include <lumo/QxSliderSpinBox>
#include <lumo/QxSmtpMailSender.h>
#include <lumo/lumo_version.h>
#include <zvlib.h>

#if !defined(LUMO_VERSION) || LUMO_VERSION < LUMO_VERSION_CHECK(1, 0, 0)
#error "lumo_version.h does not give lumo 1.0.0 or later"
#endif

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QString>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <dlfcn.h>

extern "C" const char *tolmenpackage_lumo();

namespace {

void printWhereFrom()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void *>(&tolmenpackage_lumo), &info) != 0 && info.dli_fname)
        std::printf("lumo: %s\n",
                    QFileInfo(QFile::decodeName(info.dli_fname))
                            .canonicalFilePath()
                            .toUtf8()
                            .constData());
    std::printf("qt: %s\n", qVersion());
    auto *translator = qApp->findChild<QTranslator *>(QStringLiteral("lumo_translator"));
    std::printf("translations: %s\n",
                translator ? translator->filePath().toUtf8().constData() : "");
    // The path is the last field of a line of /proc/self/maps.
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return;
    QSet<QByteArray> printed;
    for (const QByteArray &line : maps.readAll().split('\n')) {
        const auto slash = line.indexOf('/');
        if (slash < 0)
            continue;
        const QByteArray path = line.mid(slash);
        const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
        if ((name.startsWith("libQt") || name.startsWith("liblumo") || name.startsWith("libzvlib"))
            && !printed.contains(path)) {
            printed.insert(path);
            std::printf("mapped: %s\n", path.constData());
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QString text = QStringLiteral("2.500");
    QxCustomValidator::removeTrailingZero(text);
    QxCustomValidator validator(nullptr);
    const char *stamp = tolmenpackage_lumo();
    // The headers and the library loaded belong to one version.
    const QByteArray stampVersion = QByteArray(stamp).split('|').mid(27).join('|');
    const QByteArray headerVersion = QByteArray("version_major|")
            + QByteArray::number(LUMO_VERSION_MAJOR) + "|version_minor|"
            + QByteArray::number(LUMO_VERSION_MINOR) + "|version_patch|"
            + QByteArray::number(LUMO_VERSION_PATCH);
    const bool sameVersion = stampVersion == headerVersion
            && QByteArray(LUMO_VERSION_STRING)
                    == QByteArray::number(LUMO_VERSION_MAJOR) + '.'
                            + QByteArray::number(LUMO_VERSION_MINOR) + '.'
                            + QByteArray::number(LUMO_VERSION_PATCH);
    const double rounded = ZvRoundToAmountOfDecimals(1.005, ZvRoundHalfAwayFromZero, 2);

    QxSliderSpinBox sliderSpinBox;
    double received = 0;
    QObject::connect(&sliderSpinBox, &QxSliderSpinBox::valueChanged,
                     [&received](double value) { received = value; });
    sliderSpinBox.setMin(2.0); // pulls the value of 1.0 up to 2.0

    QxDoubleSlider slider;
    double sliderValue = 0;
    QObject::connect(&slider, &QxDoubleSlider::doubleValueChanged,
                     [&sliderValue](double value) { sliderValue = value; });
    slider.setValue(0.5);

    auto *sender = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), 25);
    const bool statusConnected
            = QObject::connect(sender, &QxSmtpMailSender::status, [](bool, const QString &) {});
    delete sender;

    if (text != QLatin1String("2.5") || validator.decimals() != 3
        || std::strncmp(stamp, "|version_tag|", 13) != 0 || received != 2.0 || sliderValue != 0.5
        || !statusConnected || !sameVersion || rounded != 1.01) {
        std::fprintf(stderr, "consumer: unexpected results\n");
        return 1;
    }
    std::printf("consumer: %s\n", stamp);
    std::printf("title: %s\n", sliderSpinBox.windowTitle().toUtf8().constData());
    printWhereFrom();
    return 0;
}
