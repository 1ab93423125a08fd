#pragma once

#include <QGroupBox>

#include "lumo_export.h"

class QFrame;
class QPropertyAnimation;

/// A checkable QGroupBox whose contents fold away when its title check box is
/// unchecked, so that the box shrinks to its title.
///
/// The contents live in an inner frame that the box creates and owns; fill it
/// through addWidget() or getInsideWidget(). Content added the QGroupBox way
/// (box->layout()->addWidget()) folds with it too, and a widget the host hid
/// stays hidden when the box unfolds. A new box is checked and expanded,
/// without title. Screen readers hear it as a checkable, expandable box,
/// expanded or collapsed, and are told when it folds or unfolds.
///
/// The fold can be animated (setAnimated()); it then takes the style's
/// animation duration and ends at exactly the sizes of the instant fold.
class LUMO_EXPORT QxCollapsibleGroupBox : public QGroupBox
{
    Q_OBJECT
    /// Whether the contents are shown. Writing it sets the title check box
    /// too; expandedChanged() follows every change, whatever made it.
    Q_PROPERTY(bool expanded READ isExpanded WRITE setExpanded NOTIFY expandedChanged)
    /// Whether folding and unfolding animate the box's height. Off by default.
    Q_PROPERTY(bool animated READ isAnimated WRITE setAnimated)
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
    /// Whether the contents are shown, or are folding open; false from the
    /// moment a fold starts, even while an animated fold still shows them.
    bool isExpanded() const;
    /// Whether folds are animated; see setAnimated().
    bool isAnimated() const;

    /// Animates each fold of a shown box over the style's
    /// QStyle::SH_Widget_Animation_Duration, by growing or shrinking its
    /// maximum height; a style that answers 0 (animations turned off) gets
    /// none, and so does a hidden box. An animated fold ends at exactly the
    /// sizes that an instant fold gives. Turning it off ends a running fold
    /// at once.
    void setAnimated(bool animated);

Q_SIGNALS:
    /// The contents were shown (\a expanded true) or folded away, once per
    /// change: by the title check box (mouse or keyboard), setChecked(),
    /// setExpanded() or setGroupBoxExpanded().
    void expandedChanged(bool expanded);

public Q_SLOTS:
    /// Shows or hides the contents and checks or unchecks the title check box
    /// to match.
    void setExpanded(bool expanded);
    /// Shows or hides the contents. The title check box drives it through
    /// toggled(bool); a direct call leaves the check state as it is.
    void setGroupBoxExpanded(bool show);

protected:
    /// Folds a widget added to the box while it is folded.
    void childEvent(QChildEvent *event) override;

private:
    // Hides a child for the fold, or shows one that the fold hid.
    void fold(QWidget *child, bool show);
    // Shows or hides all the contents at once.
    void foldContents(bool show);
    // Starts the animated fold towards the state in `expanded`.
    void animateFold(int duration);
    // Ends a running animated fold where an instant one would have ended.
    void finishFold();

    // Whether the content is shown, as setGroupBoxExpanded() last set it.
    // First, so that it is set when the inner frame arrives as a child.
    bool expanded;
    QFrame *insideWidget;
    bool animated = false;
    // Made on the first animated fold.
    QPropertyAnimation *foldAnimation = nullptr;
    bool folding = false;
    // The maximum height to restore once an animated fold is over.
    int maximumHeightBeforeFold = QWIDGETSIZE_MAX;
};
