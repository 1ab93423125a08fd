#include <lumo/QxVariantAnimation.h>

#include <QtTest>

class tst_QxVariantAnimation : public QObject
{
    Q_OBJECT

private slots:
    void runsAndReportsValues();
};

void tst_QxVariantAnimation::runsAndReportsValues()
{
    QObject owner;
    QxVariantAnimation *animation = new QxVariantAnimation(&owner);
    QCOMPARE(animation->parent(), &owner);
    QCOMPARE(animation->metaObject()->className(), "QxVariantAnimation");

    animation->setStartValue(0.0);
    animation->setEndValue(100.0);
    animation->setDuration(200);
    QSignalSpy values(animation, &QVariantAnimation::valueChanged);
    QSignalSpy finished(animation, &QAbstractAnimation::finished);
    animation->start();
    QCOMPARE(animation->state(), QAbstractAnimation::Running);
    QVERIFY(finished.wait(5000));

    QVERIFY(values.count() >= 2);
    double previous = -1;
    for (const QList<QVariant> &arguments : qAsConst(values)) {
        const double value = arguments.at(0).toDouble();
        QVERIFY(value >= previous && value <= 100.0);
        previous = value;
    }
    QCOMPARE(previous, 100.0);
    QCOMPARE(animation->currentValue().toDouble(), 100.0);
    QCOMPARE(animation->state(), QAbstractAnimation::Stopped);
}

QTEST_MAIN(tst_QxVariantAnimation)
#include "tst_QxVariantAnimation.moc"
