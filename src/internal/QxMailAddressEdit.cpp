#include "QxMailAddressEdit.h"

#include <QRegExp>
#include <QRegExpValidator>

QxMailAddressEdit::QxMailAddressEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // Top-level domains run up to 63 letters ("museum", "online", ...).
    const QRegExp pattern(QStringLiteral("[A-Z0-9._%+-]+@[A-Z0-9.-]+\\.[A-Z]{2,63}"),
                          Qt::CaseInsensitive, QRegExp::RegExp);
    setValidator(new QRegExpValidator(pattern, this));
}

QxMailAddressEdit::~QxMailAddressEdit() = default;

bool QxMailAddressEdit::isValid()
{
    const QValidator *installed = validator();
    if (!installed)
        return false;
    QString copy = text();
    int position = 0;
    return installed->validate(copy, position) == QValidator::Acceptable;
}
