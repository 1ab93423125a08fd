#include "AboutPage.h"

#include "LumoPackage.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

AboutPage::AboutPage(const LumoPackage &package, QWidget *parent)
    : GalleryPage(QStringLiteral("about"), tr("About"), parent)
{
    auto *layout = new QVBoxLayout(this);

    auto *heading = new QLabel;
    heading->setObjectName(QStringLiteral("heading"));
    heading->setWordWrap(true);
    heading->setTextFormat(Qt::PlainText);
    if (package.errorString().isEmpty()) {
        heading->setText(tr("lumo %1, loaded as a package from %2; its entry point "
                            "tolmenpackage_lumo returned this build stamp:")
                                 .arg(package.version(), package.fileName()));
    } else {
        heading->setText(
                tr("The library could not be loaded as a package: %1").arg(package.errorString()));
    }
    layout->addWidget(heading);

    const QVector<LumoPackage::Entry> entries = package.entries();
    auto *table = new QTableWidget(entries.size(), 2);
    table->setObjectName(QStringLiteral("stampTable"));
    table->setHorizontalHeaderLabels({ tr("Key"), tr("Value") });
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < entries.size(); ++row) {
        table->setItem(row, 0, new QTableWidgetItem(entries.at(row).first));
        table->setItem(row, 1, new QTableWidgetItem(entries.at(row).second));
    }
    table->resizeRowsToContents();
    layout->addWidget(table, 1);
}
