#include "QxVariantAnimation.h"

QxVariantAnimation::QxVariantAnimation(QObject *parent)
    : QVariantAnimation(parent)
{
}

QxVariantAnimation::~QxVariantAnimation() = default;

void QxVariantAnimation::updateCurrentValue(const QVariant &) { }
