#pragma once

#include <QObject>
#include <QPointer>
#include <QtDesigner/QDesignerContainerExtension>
#include <QtDesigner/QExtensionFactory>

class QxCollapsibleGroupBox;

/// Lets Designer fill a QxCollapsibleGroupBox the way the box is filled in
/// code: its pages go through addWidget() into the inner frame, so they fold
/// away with it. uic writes the same call (the add-page method "addWidget").
class CollapsibleGroupBoxContainer : public QObject, public QDesignerContainerExtension
{
    Q_OBJECT
    Q_INTERFACES(QDesignerContainerExtension)
public:
    CollapsibleGroupBoxContainer(QxCollapsibleGroupBox *box, QObject *parent);

    bool canAddWidget() const override { return true; }
    void addWidget(QWidget *page) override;
    int count() const override;
    int currentIndex() const override { return count() > 0 ? 0 : -1; }
    void insertWidget(int index, QWidget *page) override;
    bool canRemove(int) const override { return true; }
    void remove(int index) override;
    void setCurrentIndex(int) override { }
    QWidget *widget(int index) const override;

private:
    QPointer<QxCollapsibleGroupBox> m_box;
};

/// Hands Designer a CollapsibleGroupBoxContainer for every QxCollapsibleGroupBox.
class CollapsibleGroupBoxExtensionFactory : public QExtensionFactory
{
    Q_OBJECT
public:
    explicit CollapsibleGroupBoxExtensionFactory(QExtensionManager *parent);

protected:
    QObject *createExtension(QObject *object, const QString &iid, QObject *parent) const override;
};
