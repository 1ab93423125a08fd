#include "NumbersPage.h"

#include <lumo/QxAutoRulesValidator.h>
#include <lumo/QxCustomValidator.h>
#include <lumo/QxExponentialNotationValidator.h>
#include <lumo/QxFixedDecimalsValidator.h>
#include <lumo/QxFormatingStringValidator.h>
#include <lumo/QxSignificantDigitsValidator.h>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace {

QSpinBox *digitsBox(int minimum, int maximum, int value, const QString &suffix)
{
    auto *box = new QSpinBox;
    box->setRange(minimum, maximum);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

} // namespace

NumbersPage::NumbersPage(QWidget *parent)
    : GalleryPage(QStringLiteral("numbers"), tr("Numbers"), parent)
{
    auto *grid = new QGridLayout(this);
    const QStringList headers = { tr("Validator"), tr("Setting"), tr("Field"), tr("Repair") };
    for (int column = 0; column < headers.size(); ++column) {
        auto *header = new QLabel(QStringLiteral("<b>%1</b>").arg(headers.at(column)));
        grid->addWidget(header, 0, column);
    }
    auto *hint = new QLabel(tr("Type a number, with as many decimals as you like: the right "
                               "column shows what the validator's repair would write. Leaving "
                               "the field (Tab, Return or a click elsewhere) applies it where it "
                               "changes the number; a text that already means the repaired "
                               "number stays as typed."));
    hint->setWordWrap(true);
    grid->addWidget(hint, 100, 0, 1, 4);

    // Clamping: every validator of the page keeps the number in one range.
    auto *clampRow = new QHBoxLayout;
    m_clamp = new QCheckBox(tr("Clamp into the range"));
    m_clamp->setObjectName(QStringLiteral("clampToRange"));
    m_bottom = new QDoubleSpinBox;
    m_bottom->setObjectName(QStringLiteral("clampBottom"));
    m_top = new QDoubleSpinBox;
    m_top->setObjectName(QStringLiteral("clampTop"));
    for (QDoubleSpinBox *end : { m_bottom, m_top }) {
        end->setRange(-1e6, 1e6);
        end->setDecimals(3);
    }
    m_bottom->setValue(0);
    m_top->setValue(100);
    clampRow->addWidget(m_clamp);
    clampRow->addWidget(new QLabel(tr("from")));
    clampRow->addWidget(m_bottom);
    clampRow->addWidget(new QLabel(tr("to")));
    clampRow->addWidget(m_top);
    clampRow->addStretch(1);
    grid->addLayout(clampRow, 99, 0, 1, 4);
    const auto applyClamp = [this] {
        for (Row &row : m_rows)
            applyRange(row);
    };
    connect(m_clamp, &QCheckBox::toggled, this, applyClamp);
    connect(m_bottom, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, applyClamp);
    connect(m_top, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, applyClamp);
    grid->setRowStretch(101, 1);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(3, 1);

    // One row per validator: its setting rebuilds it, since a validator's
    // digit count or format is fixed at construction.
    auto digitsRow = [this](const QString &className, const QString &what, QSpinBox *digits,
                            const QString &sample, auto make) {
        addRow(className, what, digits, sample);
        const int row = m_rows.size() - 1;
        auto rebuild
                = [this, row, digits, make] { setValidator(m_rows[row], make(digits->value())); };
        connect(digits, QOverload<int>::of(&QSpinBox::valueChanged), this, rebuild);
        rebuild();
    };
    digitsRow(QStringLiteral("QxFixedDecimalsValidator"), tr("rounds to decimals"),
              digitsBox(0, 15, 2, tr(" decimals")), QStringLiteral("3.14159"),
              [this](int n) { return new QxFixedDecimalsValidator(n, this); });
    digitsRow(QStringLiteral("QxSignificantDigitsValidator"), tr("significant digits, fixed point"),
              digitsBox(1, 17, 3, tr(" digits")), QStringLiteral("0.000123456"),
              [this](int n) { return new QxSignificantDigitsValidator(n, this); });
    digitsRow(QStringLiteral("QxExponentialNotationValidator"), tr("significant digits, exponent"),
              digitsBox(1, 17, 3, tr(" digits")), QStringLiteral("12345"),
              [this](int n) { return new QxExponentialNotationValidator(n, this); });
    digitsRow(QStringLiteral("QxAutoRulesValidator"), tr("notation by magnitude"),
              digitsBox(1, 17, 3, tr(" digits")), QStringLiteral("0.005"),
              [this](int n) { return new QxAutoRulesValidator(n, this); });

    auto *format = new QLineEdit(QStringLiteral("%08.3f"));
    format->setObjectName(QStringLiteral("format"));
    addRow(QStringLiteral("QxFormatingStringValidator"), tr("printf-style format"), format,
           QStringLiteral("2.5"));
    auto rebuildFormatted = [this, format, row = m_rows.size() - 1] {
        const bool usable = QxFormatingStringValidator::isUsableFormat(format->text());
        format->setStyleSheet(usable ? QString() : QStringLiteral("color: #b00020"));
        format->setToolTip(usable ? QString()
                                  : tr("Not one floating-point conversion: the validator "
                                       "leaves the text as it is"));
        setValidator(m_rows[row], new QxFormatingStringValidator(format->text(), this));
    };
    connect(format, &QLineEdit::textChanged, this, rebuildFormatted);
    rebuildFormatted();

    QSpinBox *customDecimals = digitsBox(0, 15, 3, tr(" decimals"));
    digitsRow(QStringLiteral("QxCustomValidator"), tr("the base: accepts, never rewrites"),
              customDecimals, QStringLiteral("2.500"),
              [this](int n) { return new QxCustomValidator(n, this); });
}

void NumbersPage::addRow(const QString &className, const QString &what, QWidget *setting,
                         const QString &sample)
{
    auto *layout = static_cast<QGridLayout *>(this->layout());
    const int line = m_rows.size() + 1;

    auto *name = new QLabel(QStringLiteral("%1<br><small>%2</small>").arg(className, what));
    layout->addWidget(name, line, 0);
    layout->addWidget(setting, line, 1);

    Row row;
    row.field = new QLineEdit(sample);
    row.field->setObjectName(className);
    row.readout = new QLabel;
    row.readout->setObjectName(className + QStringLiteral("Readout"));
    row.readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(row.field, line, 2);
    layout->addWidget(row.readout, line, 3);
    m_rows.append(row);

    const int index = m_rows.size() - 1;
    connect(row.field, &QLineEdit::textChanged, this,
            [this, index] { updateReadout(m_rows.at(index)); });
}

void NumbersPage::setValidator(Row &row, QxCustomValidator *validator)
{
    // The line edit keeps no ownership; the old validator goes once replaced.
    QxCustomValidator *old = row.validator;
    row.validator = validator;
    row.field->setValidator(validator);
    delete old;
    applyRange(row);
}

void NumbersPage::applyRange(Row &row)
{
    if (!row.validator)
        return;
    const bool clamp = m_clamp && m_clamp->isChecked();
    row.validator->setClampToRange(clamp);
    if (clamp) {
        row.validator->setBottom(m_bottom->value());
        row.validator->setTop(m_top->value());
    } else {
        row.validator->setBottom(-qInf());
        row.validator->setTop(qInf());
    }
    updateReadout(row);
}

void NumbersPage::updateReadout(const Row &row)
{
    if (!row.validator) {
        row.readout->setText(tr("(no validator: the setting is not usable)"));
        return;
    }
    QString text = row.field->text();
    row.validator->fixup(text);
    row.readout->setText(QStringLiteral("→ %1").arg(text));
}
