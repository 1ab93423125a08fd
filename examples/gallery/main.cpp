// lumo-gallery: the showcase and host application of liblumo.so.

#include "Gallery.h"

#include <QApplication>

int main(int argc, char **argv)
{
    Gallery::Options options;
    if (const std::optional<int> exitCode = Gallery::parseCommandLine(argc, argv, options))
        return *exitCode;

    QApplication app(argc, argv);
    Gallery::installQtTranslation(app);
    Gallery gallery(options.packageFile);
    if (const std::optional<int> exitCode = gallery.start(options))
        return *exitCode;
    return app.exec();
}
