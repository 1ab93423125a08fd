// Builds against an installed lumo and uses it the way an application does.

#include <lumo/QxCustomValidator.h>

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <cstring>

extern "C" const char *tolmenpackage_lumo();

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString text = QStringLiteral("2.500");
    QxCustomValidator::removeTrailingZero(text);
    QxCustomValidator validator(nullptr);
    const char *stamp = tolmenpackage_lumo();
    if (text != QLatin1String("2.5") || validator.decimals() != 3
        || std::strncmp(stamp, "|version_tag|", 13) != 0) {
        std::fprintf(stderr, "consumer: unexpected results\n");
        return 1;
    }
    std::printf("consumer: %s\n", stamp);
    return 0;
}
