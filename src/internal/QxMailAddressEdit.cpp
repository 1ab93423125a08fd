#include "QxMailAddressEdit.h"

#include "QxQtCompat.h"

QxMailAddressEdit::QxMailAddressEdit(QWidget *parent)
    : QLineEdit(parent)
{
    // Top-level domains run up to 63 letters ("museum", "online", ...).
    setValidator(QxQtCompat::newCaseInsensitiveValidator(
            QStringLiteral("[A-Z0-9._%+-]+@[A-Z0-9.-]+\\.[A-Z]{2,63}"), this));
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
