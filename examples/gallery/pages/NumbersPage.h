#pragma once

#include "GalleryPage.h"

#include <QPointer>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QxCustomValidator;

/// One line edit per validator of the library, each with its digit count or
/// format editable, and a readout of what the validator's repair writes.
class NumbersPage : public GalleryPage
{
    Q_OBJECT
public:
    explicit NumbersPage(QWidget *parent = nullptr);

private:
    struct Row
    {
        QLineEdit *field = nullptr;
        QLabel *readout = nullptr;
        QPointer<QxCustomValidator> validator;
    };

    void addRow(const QString &className, const QString &what, QWidget *setting,
                const QString &sample);
    void setValidator(Row &row, QxCustomValidator *validator);
    void applyRange(Row &row);
    static void updateReadout(const Row &row);

    QList<Row> m_rows;
    QCheckBox *m_clamp = nullptr;
    QDoubleSpinBox *m_bottom = nullptr;
    QDoubleSpinBox *m_top = nullptr;
};
