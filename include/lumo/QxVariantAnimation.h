#pragma once

#include <QVariantAnimation>

#include "lumo_export.h"

/// A QVariantAnimation that can be created and run as it is: it has no effect
/// of its own. Set start value, end value and duration through the base class
/// and follow currentValue() or valueChanged(const QVariant &).
class LUMO_EXPORT QxVariantAnimation : public QVariantAnimation
{
    Q_OBJECT
public:
    explicit QxVariantAnimation(QObject *parent = nullptr);
    ~QxVariantAnimation() override;

protected:
    /// Does nothing: the values are for the caller to read.
    void updateCurrentValue(const QVariant &value) override;
};
