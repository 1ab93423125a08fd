#pragma once

#include <QGroupBox>

#include "lumo_export.h"

class QFrame;

/// A checkable QGroupBox whose contents fold away when its title check box is
/// unchecked, so that the box shrinks to its title.
///
/// The contents live in an inner frame that the box creates and owns; fill it
/// through addWidget() or getInsideWidget(). Content added the QGroupBox way
/// (box->layout()->addWidget()) folds with it too, and a widget the host hid
/// stays hidden when the box unfolds. A new box is checked and expanded,
/// without title. Screen readers hear it as a checkable, expandable box,
/// expanded or collapsed, and are told when it folds or unfolds.
class LUMO_EXPORT QxCollapsibleGroupBox : public QGroupBox
{
    Q_OBJECT
public:
    /// An empty, checked and expanded box without title, child of \a parent.
    explicit QxCollapsibleGroupBox(QWidget *parent = nullptr);
    ~QxCollapsibleGroupBox() override;

    /// Appends \a widget below the contents already there and reparents it to
    /// the inner frame, which then owns it. Null is ignored.
    ///
    /// Invokable because QUiLoader (and Designer's preview) fill a custom
    /// container by calling its add-page method through the meta-object, as
    /// uic's generated code calls it directly: a form's pages then fold away
    /// with the frame whichever way the form is loaded.
    Q_INVOKABLE void addWidget(QWidget *widget);
    /// The inner frame that holds the contents, for callers that fill or style
    /// it themselves.
    QFrame *getInsideWidget() const;

public Q_SLOTS:
    /// Shows or hides the contents. The title check box drives it through
    /// toggled(bool); a direct call leaves the check state as it is.
    void setGroupBoxExpanded(bool show);

protected:
    /// Folds a widget added to the box while it is folded.
    void childEvent(QChildEvent *event) override;

private:
    // Hides a child for the fold, or shows one that the fold hid.
    void fold(QWidget *child, bool show);

    // Whether the content is shown, as setGroupBoxExpanded() last set it.
    // First, so that it is set when the inner frame arrives as a child.
    bool expanded;
    QFrame *insideWidget;
};
