#include "LumoPackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

QStringList LumoPackage::candidateFiles()
{
    const QDir binDir(QCoreApplication::applicationDirPath());
    QStringList files;
    // Installed: the library folder as the build was configured (relative to
    // bin/ in lumo's own tree, lib or lib/<multiarch> under /usr; absolute for
    // a gallery built on its own against an installed lumo); built: build/lib.
    // A host opens the library by its SONAME (liblumo.so.1), which the runtime
    // package holds; liblumo.so is the linkers' link of a development install.
    for (const QString &folder :
         { QStringLiteral(LUMO_GALLERY_LIBDIR), QStringLiteral("../lib") }) {
        const QString file = QDir::cleanPath(
                binDir.filePath(folder + QStringLiteral("/" LUMO_GALLERY_LIBRARY_FILE)));
        if (!files.contains(file))
            files << file;
    }
    return files;
}

QVector<LumoPackage::Entry> LumoPackage::parseStamp(const QString &text)
{
    if (!text.startsWith(QLatin1Char('|')))
        return {};
    const QStringList fields = text.mid(1).split(QLatin1Char('|'));
    if (fields.size() % 2 != 0)
        return {};
    QVector<Entry> entries;
    entries.reserve(fields.size() / 2);
    for (int i = 0; i < fields.size(); i += 2)
        entries.append({ fields.at(i), fields.at(i + 1) });
    return entries;
}

bool LumoPackage::load(const QString &fileName)
{
    m_entries.clear();
    m_stampText.clear();
    m_error.clear();

    m_fileName = fileName;
    if (m_fileName.isEmpty()) {
        const QStringList candidates = candidateFiles();
        for (const QString &candidate : candidates) {
            if (QFileInfo::exists(candidate)) {
                m_fileName = candidate;
                break;
            }
        }
        if (m_fileName.isEmpty()) {
            m_error = QCoreApplication::translate("LumoPackage", "%1 not found in %2")
                              .arg(QStringLiteral(LUMO_GALLERY_LIBRARY_FILE),
                                   candidates.join(QStringLiteral(", ")));
            return false;
        }
    }

    m_library.setFileName(m_fileName);
    if (!m_library.load()) {
        m_error = m_library.errorString();
        return false;
    }
    using EntryPoint = const char *(*)();
    const auto entry = reinterpret_cast<EntryPoint>(m_library.resolve("tolmenpackage_lumo"));
    if (!entry) {
        m_error = m_library.errorString();
        return false;
    }
    const char *text = entry();
    m_stampText = QString::fromLatin1(text ? text : "");
    m_entries = parseStamp(m_stampText);
    if (m_entries.isEmpty()) {
        m_error = QCoreApplication::translate("LumoPackage", "the build stamp is malformed: %1")
                          .arg(m_stampText.left(80));
        return false;
    }
    return true;
}

QString LumoPackage::value(const QString &key) const
{
    for (const Entry &entry : m_entries) {
        if (entry.first == key)
            return entry.second;
    }
    return QString();
}

QString LumoPackage::version() const
{
    const QString major = value(QStringLiteral("version_major"));
    if (major.isNull())
        return QString();
    return QStringLiteral("%1.%2.%3")
            .arg(major, value(QStringLiteral("version_minor")),
                 value(QStringLiteral("version_patch")));
}

int LumoPackage::printStamp(const QString &fileName)
{
    LumoPackage package;
    if (!package.load(fileName)) {
        QTextStream(stderr) << "lumo-gallery: " << package.errorString() << Qt::endl;
        return 1;
    }
    QTextStream out(stdout);
    out << "package: " << package.fileName() << Qt::endl;
    for (const Entry &entry : package.entries())
        out << entry.first << ": " << entry.second << Qt::endl;
    return 0;
}
