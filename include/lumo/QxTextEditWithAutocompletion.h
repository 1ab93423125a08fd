#pragma once

#include <QPointer>
#include <QTextEdit>

#include "lumo_export.h"

class QCompleter;

/// A QTextEdit that offers completions of the word under the text cursor.
///
/// While the user types, a QCompleter popup lists the admissible completions of
/// the word that ends at the cursor, just below the cursor; choosing an entry
/// completes the word that ends at the cursor, however its letters arrived
/// (keys, an input method, a dead key): it inserts only the part of the entry
/// that is still missing, so the letters already typed keep their case, no
/// letter is written twice, and the text after the cursor stays as it was. Control+E opens the
/// popup on demand, even outside a word, listing every admissible completion. The class offers no
/// completions of its own: a subclass supplies them by overriding getAllAdmissibleCompletion(), and
/// may redefine what a word is by overriding tokenUnderCursor(). Both, and updateCompleter(), are
/// protected: they are meant for subclass authors, not for the code that merely hosts the editor.
class LUMO_EXPORT QxTextEditWithAutocompletion : public QTextEdit
{
    Q_OBJECT
public:
    /// Starts with a completer of its own (parented to the editor) and the
    /// translatable default text "Here is the text that will be autocompleted.".
    explicit QxTextEditWithAutocompletion(QWidget *parent = nullptr);
    ~QxTextEditWithAutocompletion() override;

    /// The current completer, or null when completion is switched off.
    QCompleter *completer() const;
    /// True when a completer is set and its popup is shown.
    bool isCompleterVisible() const;

    /// Replaces the completer. The previous one is disconnected from the editor
    /// and scheduled for deletion with deleteLater(), whoever its parent is;
    /// setting the current completer again changes nothing. A new completer
    /// keeps its parent, is attached to the editor and switched to popup,
    /// case-insensitive completion. Null switches completion off.
    void setCompleter(QCompleter *completer);

protected:
    /// Fills the completer with a list model of the completions of \a word
    /// and shows its popup below the text cursor, as wide as the entries it
    /// can show at a time plus a vertical scroll bar. A popup that is a
    /// QListView is told that its rows are of one height, so that it lays out
    /// many matches at little cost. Does nothing without a completer.
    void updateCompleter(const QString &word);

    /// The completions admissible for \a word; the popup filters them by the
    /// word, ignoring case. Returns an empty list here: override it.
    virtual QStringList getAllAdmissibleCompletion(const QString &word);
    /// The run of word characters (letters, digits, combining marks and "_",
    /// beyond the BMP too) that ends at the cursor: the word a completion
    /// inserted at the cursor completes. Empty after a space or punctuation
    /// and at the start of a word. The editor's own cursor does not move.
    virtual QString tokenUnderCursor() const;

    /// Committed text of an input method (or a dead key) opens or updates the
    /// popup as typed keys do; text still being composed does not count.
    void inputMethodEvent(QInputMethodEvent *event) override;
    /// Lets the open popup take Return, Enter, Tab, Backtab and Escape; opens
    /// the popup on Control+E; otherwise edits the text and refreshes or hides
    /// the popup for the word under the cursor.
    void keyPressEvent(QKeyEvent *event) override;
    /// Attaches the completer to this editor before the usual focus handling.
    void focusInEvent(QFocusEvent *event) override;

private Q_SLOTS:
    void insertCompletion(const QString &completion);

private:
    // Guarded: a completer handed in keeps its own parent, which may delete it.
    QPointer<QCompleter> currentCompleter;
};
