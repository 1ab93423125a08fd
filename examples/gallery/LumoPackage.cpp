#include "LumoPackage.h"

#include <buildstamp.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QStringList LumoPackage::candidateFiles()
{
    const QDir binDir(QCoreApplication::applicationDirPath());
    QStringList files;
    // Installed: the library directory relative to bin/ as the build was
    // configured (lib, or lib/<multiarch> under /usr); built: build/lib. A host
    // opens the library by its SONAME (liblumo.so.1), which the runtime package
    // holds; liblumo.so is the linkers' link of a development install.
    for (const QString &relative :
         { QStringLiteral(LUMO_GALLERY_LIBDIR_FROM_BINDIR), QStringLiteral("../lib") }) {
        const QString file = QDir::cleanPath(
                binDir.filePath(relative + QStringLiteral("/" LUMO_GALLERY_LIBRARY_FILE)));
        if (!files.contains(file))
            files << file;
    }
    return files;
}

QVector<LumoPackage::Entry> LumoPackage::parseStamp(const QString &text)
{
    buildstamp::Pairs pairs;
    std::string error;
    if (!buildstamp::parse(text.toStdString(), pairs, error))
        return {};
    QVector<Entry> entries;
    entries.reserve(int(pairs.size()));
    for (const auto &[key, value] : pairs)
        entries.append({ QString::fromStdString(key), QString::fromStdString(value) });
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
