#pragma once
// Message boxes, questions, input boxes and file choosers, behind one small
// interface so that windows can be driven by tests without a real dialog.

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <deque>
#include <optional>

class QWidget;

namespace pellamy {

class DialogService {
public:
    virtual ~DialogService() = default;

    // A message box with one OK button. An empty title means the program's
    // own name.
    virtual void message(const QString& text, const QString& title) = 0;
    // A question with Yes and No buttons; true for Yes. Enter answers Yes,
    // or No where yesByDefault is false (a question whose Yes loses a file).
    virtual bool askYesNo(const QString& text, const QString& title, bool yesByDefault = true) = 0;
    // A question with Yes, No and Cancel buttons, Escape being Cancel: true
    // for Yes, false for No, empty for Cancel.
    virtual std::optional<bool> askYesNoCancel(const QString& text, const QString& title) = 0;
    // An input box starting empty; a cancelled box gives an empty text.
    virtual QString input(const QString& prompt, const QString& title) = 0;
    // File choosers with a filter such as "Text Files (*.txt)"; an empty
    // text when the user cancels.
    virtual QString openFileName(const QString& filter) = 0;
    virtual QString saveFileName(const QString& filter) = 0;
    // A chooser of several files at once; empty when the user cancels.
    virtual QStringList openFileNames(const QString& filter) = 0;
};

// A file name chosen in a save dialog with a filter such as "Text Files
// (*.txt)", made a name the filter lists: one that does not end in one of
// the filter's suffixes ("Weymouth 24.05.06") gets the first of them. The
// dialog asked about the name as typed, so when a file of the new name is
// there already the user says whether to replace it; empty when not.
QString withFilterSuffix(DialogService& dialogs, const QString& path, const QString& filter,
                         const QString& title);
// The save dialog, then withFilterSuffix; empty when either was cancelled.
QString chooseFileToSave(DialogService& dialogs, const QString& filter, const QString& title);

// What a message box shows of a text: the text itself, or for a text taller
// than its room (a long list of rows) each paragraph's first lines and its
// closing question, the whole being under the box's "Show Details...". The
// room is in lines of so many characters: 24 of 70 fit a screen 720 high.
QString shownOfLongText(const QString& text, int roomLines = 24, int lineLength = 70);

// The real dialogs, shown over a parent window.
class QtDialogService : public DialogService {
public:
    explicit QtDialogService(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const QString& text, const QString& title) override;
    bool askYesNo(const QString& text, const QString& title, bool yesByDefault = true) override;
    std::optional<bool> askYesNoCancel(const QString& text, const QString& title) override;
    QString input(const QString& prompt, const QString& title) override;
    QString openFileName(const QString& filter) override;
    QString saveFileName(const QString& filter) override;
    QStringList openFileNames(const QString& filter) override;

private:
    // The window a dialog is shown over: its own once that is on screen;
    // before then (a window saying something as it opens) the window the
    // user is in, so that the dialog is not put in a corner of the screen.
    QWidget* over() const;
    // The folder a file dialog for the filter's kind of file (its first
    // patterns: race files, PDF sheets, CSV files saved) opens in: the program folder, where the
    // races and results are kept, until a file of that kind is chosen elsewhere. A sheet saved as a
    // PDF elsewhere does not take the next race file there. Every window's
    // choosers share the folders: a race saved in the calculator is where
    // Season Results looks first.
    static QString folder(const QString& filter);
    static void chosen(const QString& filter, const QString& file);
    // A file dialog of the given kind, sized to fit the screen; the files
    // chosen, none when it was cancelled.
    QStringList chooseFiles(bool save, bool several, const QString& filter);

    QWidget* parent_;
};

// Dialogs answered from a script, for tests and benchmarks. Every dialog is
// recorded; a question, input or file choice with no answer queued is
// recorded as unanswered and gets No, an empty text or no file, so a test
// never waits on a real dialog. A message shown since the test last looked
// (shown() or messages()) is unchecked(), forgotten by clear() or not: a test
// ends with nothing unanswered, nothing unchecked and no scripted answer left
// unused.
class ScriptedDialogService : public DialogService {
public:
    struct Shown {
        QString kind; // "message", "question", "input", "open", "save", "open files"
        QString text; // message, question or prompt text; the filter for files
        QString title;
    };

    void answerYesNo(bool yes) { yesNo_.push_back(yes); }
    // Answers a Yes, No or Cancel question; an unanswered one is cancelled.
    void answerYesNoCancel(std::optional<bool> answer) { yesNoCancel_.push_back(answer); }
    void answerInput(const QString& text) { inputs_.push_back(text); }
    void answerFile(const QString& path) { files_.push_back(path); }
    void answerFiles(const QStringList& paths) { fileLists_.push_back(paths); }

    void message(const QString& text, const QString& title) override;
    bool askYesNo(const QString& text, const QString& title, bool yesByDefault = true) override;
    std::optional<bool> askYesNoCancel(const QString& text, const QString& title) override;
    QString input(const QString& prompt, const QString& title) override;
    QString openFileName(const QString& filter) override;
    QString saveFileName(const QString& filter) override;
    QStringList openFileNames(const QString& filter) override;

    const QVector<Shown>& shown() const {
        seen_ = shown_.size();
        return shown_;
    }
    // The texts of the message boxes shown, in order.
    QStringList messages() const;
    // The questions asked with No as Enter's answer, in order.
    const QStringList& noByDefault() const { return noByDefault_; }
    // Dialogs that found no scripted answer (empty when the script was complete).
    const QStringList& unanswered() const { return unanswered_; }
    // Scripted answers no dialog took: a question the test expected was not asked.
    QStringList unused() const;
    // The texts of the messages shown since the test last looked, and of
    // those clear() forgot before they were looked at.
    QStringList unchecked() const;
    // Forgets what was shown; dialogs that went unanswered, and messages not
    // looked at, stay recorded.
    void clear();

private:
    void addUnseenMessages(QStringList& texts) const;

    std::deque<bool> yesNo_;
    std::deque<std::optional<bool>> yesNoCancel_;
    std::deque<QString> inputs_;
    std::deque<QString> files_;
    std::deque<QStringList> fileLists_;
    QVector<Shown> shown_;
    QStringList unanswered_;
    QStringList overlooked_;
    QStringList noByDefault_;
    mutable qsizetype seen_ = 0;
};

} // namespace pellamy
