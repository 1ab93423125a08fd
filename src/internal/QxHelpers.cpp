#include "QxHelpers.h"

#include <QAbstractButton>
#include <QCommandLinkButton>
#include <QLabel>
#include <QWidget>

void QxHelpers::replaceStringInWidget(QWidget *widget, const QString &before, const QString &after)
{
    // QString::replace would put the replacement between every two characters
    // of every text when the search text is empty.
    if (!widget || before.isEmpty())
        return;

    // Collected in full first, so widgets created by a setter are not visited.
    QList<QWidget *> widgets { widget };
    widgets += widget->findChildren<QWidget *>();

    const auto replaced
            = [&](QString text) { return text.replace(before, after, Qt::CaseSensitive); };
    for (QWidget *current : qAsConst(widgets)) {
        current->setWindowTitle(replaced(current->windowTitle()));
        current->setToolTip(replaced(current->toolTip()));
        if (auto *label = qobject_cast<QLabel *>(current)) {
            label->setText(replaced(label->text()));
        } else if (auto *button = qobject_cast<QAbstractButton *>(current)) {
            button->setText(replaced(button->text()));
            if (auto *link = qobject_cast<QCommandLinkButton *>(button))
                link->setDescription(replaced(link->description()));
        }
    }
}
