#pragma once

#include <QKeySequence>
#include <QPointer>
#include <QTextEdit>

#include <memory>

#include "lumo_export.h"

class QCompleter;
class QStringListModel;

/// A QTextEdit that offers completions of the word under the text cursor.
///
/// While the user types, a QCompleter popup lists the admissible completions of
/// the word that ends at the cursor, just below the cursor; choosing an entry
/// completes the word that ends at the cursor, however its letters arrived
/// (keys, an input method, a dead key): it inserts only the part of the entry
/// that is still missing, so the letters already typed keep their case, no
/// letter is written twice, and the text after the cursor stays as it was. Control+E (or the key
/// set with setCompletionShortcut()) opens the popup on demand, even outside a word, listing every
/// admissible completion. The popup lists the entries that start with the word by default; see
/// setFilterMode() for entries that contain it or have a word that starts with it. The class offers
/// no completions of its own: a subclass supplies them by overriding getAllAdmissibleCompletion(),
/// and may redefine what a word is by overriding tokenUnderCursor(). Both, and updateCompleter(),
/// are protected: they are meant for subclass authors, not for the code that merely hosts the
/// editor.
class LUMO_EXPORT QxTextEditWithAutocompletion : public QTextEdit
{
    Q_OBJECT
    /// Which entries the popup offers for the word typed; StartsWith by default.
    Q_PROPERTY(FilterMode filterMode READ filterMode WRITE setFilterMode)
    /// The key that opens the popup on demand; Control+E by default.
    Q_PROPERTY(QKeySequence completionShortcut READ completionShortcut WRITE setCompletionShortcut)
public:
    /// How the entries of getAllAdmissibleCompletion() are matched against
    /// the word typed. Each keeps the order of the list and compares letters
    /// with the completer's case sensitivity (case-insensitive unless the
    /// completer is told otherwise).
    enum FilterMode {
        /// Entries that start with the word.
        StartsWith,
        /// Entries that hold the word anywhere.
        Contains,
        /// Entries with a word that starts with the word typed, where a word
        /// of an entry starts at the entry's start, after a character that
        /// is no letter, digit or combining mark, and at an upper-case letter
        /// that follows a lower-case one: "pla" finds "market place", "Wid"
        /// finds "QxWidget".
        WordStart
    };
    Q_ENUM(FilterMode)

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

    /// Chooses which entries the popup offers; an open popup follows at the
    /// next key. In the modes other than StartsWith, choosing an entry that
    /// does not start with the word typed replaces that word with the entry;
    /// one that does start with it is completed as in StartsWith.
    void setFilterMode(FilterMode mode);
    /// Which entries the popup offers; see FilterMode.
    FilterMode filterMode() const;

    /// Makes \a shortcut the key that opens the popup on demand, in place of
    /// Control+E. The key opens it as Control+E does, whatever text its key
    /// event carries (Control+Space writes no space, Alt+K no letter), with
    /// other modifiers held as well, and never reaches the text. Only a
    /// sequence of exactly one chord whose key is not a bare modifier is taken;
    /// any other (empty, or several chords such as "Ctrl+K, Ctrl+C") is
    /// ignored, and the current shortcut stays: compare completionShortcut()
    /// to tell.
    void setCompletionShortcut(const QKeySequence &shortcut);
    /// The key that opens the popup on demand; Control+E unless changed.
    QKeySequence completionShortcut() const;

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
    /// the popup on the completion shortcut (Control+E); otherwise edits the text and refreshes or
    /// hides the popup for the word under the cursor.
    void keyPressEvent(QKeyEvent *event) override;
    /// Attaches the completer to this editor before the usual focus handling.
    void focusInEvent(QFocusEvent *event) override;

private Q_SLOTS:
    void insertCompletion(const QString &completion);

private:
    struct MatchIndex;

    bool isCompletionShortcut(const QKeyEvent *event) const;
    void showMatches(const QStringList &completions, const QString &word);

    // Guarded: a completer handed in keeps its own parent, which may delete it.
    QPointer<QCompleter> currentCompleter;
    FilterMode mode = StartsWith;
    QKeySequence shortcut;
    // The model of matches that the modes other than StartsWith hand the
    // completer, and the index they search; both made on first use.
    QPointer<QStringListModel> matchesModel;
    std::unique_ptr<MatchIndex> index;
};
