// Loads the library's translation for the application's locale when the
// application object is created, so that hosts need no code for it.
// LUMO_NO_TRANSLATIONS=1 in the environment turns it off; the translator is a
// child of the application named "lumo_translator", to be deleted or replaced
// by a host that manages languages itself.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

#include <dlfcn.h>

#include <utility>

namespace {

// The folders that may hold the .qm files: beside the installed library, and
// beside the library in the build tree; both for liblumo.so as the process
// loaded it and for the file a symbolic link leads to.
QStringList translationDirectories()
{
    Dl_info info;
    if (dladdr(reinterpret_cast<void *>(&translationDirectories), &info) == 0
        || info.dli_fname == nullptr)
        return {};
    const QFileInfo library(QFile::decodeName(info.dli_fname));
    QStringList libraryDirs { library.absolutePath() };
    const QString canonical = library.canonicalPath();
    if (!canonical.isEmpty() && canonical != libraryDirs.first())
        libraryDirs << canonical;
    QStringList directories;
    for (const QString &libraryDir : std::as_const(libraryDirs)) {
        const QDir dir(libraryDir);
        directories << dir.filePath(QStringLiteral(LUMO_TRANSLATIONS_FROM_LIBDIR))
                    << dir.filePath(QStringLiteral(LUMO_TRANSLATIONS_FROM_BUILD_LIBDIR));
    }
    directories.removeDuplicates();
    return directories;
}

void loadTranslations()
{
    if (!qEnvironmentVariableIsEmpty("LUMO_NO_TRANSLATIONS"))
        return;
    auto *translator = new QTranslator(QCoreApplication::instance());
    translator->setObjectName(QStringLiteral("lumo_translator"));
    const QStringList directories = translationDirectories();
    for (const QString &directory : directories) {
        if (translator->load(QLocale(), QStringLiteral("lumo"), QStringLiteral("_"), directory)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
    }
    delete translator;
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(loadTranslations)
