#include "dialogs.h"
#include "programfolder.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTextEdit>

#include <algorithm>

namespace pellamy {

namespace {

QString titleOrProgramName(const QString& title) {
    return title.isEmpty() ? QApplication::applicationDisplayName() : title;
}

// Every box shows its text as plain text (a member named "Smith <S>" as
// typed), and one taller than the screen keeps its buttons on it, with its
// details too: the room is the screen's, at the text size the box shows.
void prepare(QMessageBox& box, const QString& text) {
    box.setTextFormat(Qt::PlainText);
    const QScreen* screen = box.screen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    const QFontMetrics metrics(box.font());
    // A box wraps its text about half a screen wide, at most 500 pixels;
    // its title, margins and buttons take about eight lines.
    const int lineLength = std::clamp(
        std::min(free.width() / 2, 500) / std::max(1, metrics.averageCharWidth()), 30, 70);
    const int roomLines = std::clamp(free.height() / metrics.lineSpacing() - 8, 6, 24);
    const QString shown = shownOfLongText(text, roomLines, lineLength);
    if (shown == text)
        return;
    box.setText(shown);
    box.setDetailedText(text);
    if (auto* details = box.findChild<QTextEdit*>())
        details->setMaximumHeight(free.height() / 3);
}

// A key held down as a dialog opens (Enter on the button that opened it, a
// key repeating on a desktop slow to draw) would answer the dialog with its
// repeats, unread: an empty club name accepted, the message after it
// dismissed. Repeats are ignored while the dialog is up, until a key is
// pressed or let go afresh after it (or a dialog it opens) is shown.
class HeldKeyIgnored : public QObject {
public:
    HeldKeyIgnored() { QCoreApplication::instance()->installEventFilter(this); }
    ~HeldKeyIgnored() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A dialog the dialog opens (a chooser's "replace it?") is guarded too.
        if (event->type() == QEvent::Show && qobject_cast<QDialog*>(watched))
            held_ = true;
        if (held_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
            if (static_cast<QKeyEvent*>(event)->isAutoRepeat())
                return true;
            held_ = false;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool held_ = true;
};

} // namespace

QString shownOfLongText(const QString& text, int roomLines, int lineLength) {
    // Lines as a box lineLength characters wide shows them.
    const QStringList lines = text.split(u'\n');
    qsizetype shownLines = 0;
    for (const QString& line : lines)
        shownLines += std::max<qsizetype>(1, (line.size() + lineLength - 1) / lineLength);
    if (shownLines <= roomLines)
        return text;
    // Every paragraph keeps its first lines (what it is about), a closing
    // question is kept whole and stays last.
    QStringList paragraphs = text.split(QStringLiteral("\n\n"));
    QString question;
    if (paragraphs.size() > 1 && !paragraphs.last().contains(u'\n') &&
        paragraphs.last().endsWith(u'?'))
        question = paragraphs.takeLast();
    for (QString& paragraph : paragraphs) {
        QStringList kept = paragraph.split(u'\n');
        if (kept.size() >= 4)
            kept = kept.mid(0, 2) << QStringLiteral("…");
        // A line as long as a paragraph (a list of entries) keeps its start.
        for (QString& line : kept)
            if (line.size() > 3 * lineLength) {
                const qsizetype blank = line.lastIndexOf(u' ', 2 * lineLength);
                line = line.left(blank > 0 ? blank : 2 * lineLength) + QStringLiteral(" …");
            }
        paragraph = kept.join(u'\n');
    }
    paragraphs << QStringLiteral("(The whole text is under Show Details.)");
    if (!question.isEmpty())
        paragraphs << question;
    return paragraphs.join(QStringLiteral("\n\n"));
}

QString withFilterSuffix(DialogService& dialogs, const QString& path, const QString& filter,
                         const QString& title) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    QStringList suffixes;
    for (const QRegularExpressionMatch& m : pattern.globalMatch(filter))
        suffixes << m.captured(1);
    const QString suffix = QFileInfo(path).suffix();
    if (suffixes.isEmpty() || suffixes.contains(suffix, Qt::CaseInsensitive))
        return path;
    const QString named = path + u'.' + suffixes.first();
    if (QFileInfo::exists(named) &&
        !dialogs.askYesNo(QStringLiteral("%1 already exists.\nDo you want to replace it?")
                              .arg(QDir::toNativeSeparators(named)),
                          title, false)) // as the save dialog's own question: Enter keeps the file
        return QString();
    return named;
}

QString chooseFileToSave(DialogService& dialogs, const QString& filter, const QString& title) {
    const QString path = dialogs.saveFileName(filter);
    return path.isEmpty() ? path : withFilterSuffix(dialogs, path, filter, title);
}

void QtDialogService::message(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, titleOrProgramName(title), text, QMessageBox::Ok, over());
    prepare(box, text);
    const HeldKeyIgnored held;
    box.exec();
}

bool QtDialogService::askYesNo(const QString& text, const QString& title, bool yesByDefault) {
    QMessageBox box(QMessageBox::Question, titleOrProgramName(title), text,
                    QMessageBox::Yes | QMessageBox::No, over());
    prepare(box, text);
    box.setDefaultButton(yesByDefault ? QMessageBox::Yes : QMessageBox::No);
    const HeldKeyIgnored held;
    return box.exec() == QMessageBox::Yes;
}

std::optional<bool> QtDialogService::askYesNoCancel(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, titleOrProgramName(title), text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, over());
    prepare(box, text);
    box.setDefaultButton(QMessageBox::Yes);
    const HeldKeyIgnored held;
    const int answer = box.exec();
    if (answer == QMessageBox::Cancel)
        return std::nullopt;
    return answer == QMessageBox::Yes;
}

QString QtDialogService::input(const QString& prompt, const QString& title) {
    bool ok = false;
    const HeldKeyIgnored held;
    const QString text = QInputDialog::getText(over(), titleOrProgramName(title), prompt,
                                               QLineEdit::Normal, QString(), &ok);
    return ok ? text : QString();
}

QWidget* QtDialogService::over() const {
    if (!parent_ || parent_->isVisible())
        return parent_;
    return QApplication::activeWindow();
}

namespace {

// The kind of file a filter is for: its first patterns, "*.txt" for race
// files whether opened, saved or taken into Season Results.
QString fileKind(const QString& filter) {
    return filter.section(u'(', 1, 1).section(u')', 0, 0);
}

// The folders last chosen in, by the filter's first file patterns, for
// the program's windows together (all on the one thread of windows).
QHash<QString, QString>& lastFolders() {
    static QHash<QString, QString> folders;
    return folders;
}

} // namespace

QString QtDialogService::folder(const QString& filter) {
    // A folder gone since (a memory stick taken out) is not given: Qt's
    // chooser would open in the folder above it, the gone one's name ready
    // in the name box for a race to be saved under.
    const QString last = lastFolders().value(fileKind(filter));
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : programFolder();
}

void QtDialogService::chosen(const QString& filter, const QString& file) {
    lastFolders().insert(fileKind(filter), QFileInfo(file).absolutePath());
}

QStringList QtDialogService::chooseFiles(bool save, bool several, const QString& filter) {
    // A file is not saved where Pellamy may not write (its own folder,
    // installed where only an administrator may): the Documents folder
    // instead, or the home folder.
    QString start = folder(filter);
    // Tried with a file of its own: Windows' folder permissions are not
    // what Qt's isWritable() reads there.
    QTemporaryFile probe(QDir(start).filePath(QStringLiteral(".pellamy-XXXXXX")));
    if (save && !probe.open()) {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        start = QFileInfo(documents).isDir() ? documents : QDir::homePath();
    }
    QFileDialog dialog(over(), QString(), start, filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save      ? QFileDialog::AnyFile
                       : several ? QFileDialog::ExistingFiles
                                 : QFileDialog::ExistingFile);
    // Qt's own dialog (where the desktop has none) opens larger than a small
    // screen at a large text size, with Cancel below its edge.
    // (A desktop's own dialog gives no size to fit.)
    const QSize wanted = dialog.sizeHint();
    if (const QScreen* screen = dialog.screen(); screen && wanted.isValid())
        dialog.resize(wanted.boundedTo(screen->availableGeometry().size() * 9 / 10));
    const HeldKeyIgnored held;
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    if (!files.isEmpty())
        chosen(filter, files.first());
    return files;
}

QString QtDialogService::openFileName(const QString& filter) {
    return chooseFiles(false, false, filter).value(0);
}

QString QtDialogService::saveFileName(const QString& filter) {
    return chooseFiles(true, false, filter).value(0);
}

QStringList QtDialogService::openFileNames(const QString& filter) {
    return chooseFiles(false, true, filter);
}

void ScriptedDialogService::message(const QString& text, const QString& title) {
    shown_.push_back({QStringLiteral("message"), text, title});
}

bool ScriptedDialogService::askYesNo(const QString& text, const QString& title, bool yesByDefault) {
    shown_.push_back({QStringLiteral("question"), text, title});
    if (!yesByDefault)
        noByDefault_ << text;
    if (yesNo_.empty()) {
        unanswered_ << text;
        return false;
    }
    const bool yes = yesNo_.front();
    yesNo_.pop_front();
    return yes;
}

std::optional<bool> ScriptedDialogService::askYesNoCancel(const QString& text,
                                                          const QString& title) {
    shown_.push_back({QStringLiteral("question"), text, title});
    if (yesNoCancel_.empty()) {
        unanswered_ << text;
        return std::nullopt;
    }
    const std::optional<bool> answer = yesNoCancel_.front();
    yesNoCancel_.pop_front();
    return answer;
}

QString ScriptedDialogService::input(const QString& prompt, const QString& title) {
    shown_.push_back({QStringLiteral("input"), prompt, title});
    if (inputs_.empty()) {
        unanswered_ << prompt;
        return QString();
    }
    const QString text = inputs_.front();
    inputs_.pop_front();
    return text;
}

QString ScriptedDialogService::openFileName(const QString& filter) {
    shown_.push_back({QStringLiteral("open"), filter, QString()});
    if (files_.empty()) {
        unanswered_ << QStringLiteral("open ") + filter;
        return QString();
    }
    const QString path = files_.front();
    files_.pop_front();
    return path;
}

QString ScriptedDialogService::saveFileName(const QString& filter) {
    shown_.push_back({QStringLiteral("save"), filter, QString()});
    if (files_.empty()) {
        unanswered_ << QStringLiteral("save ") + filter;
        return QString();
    }
    const QString path = files_.front();
    files_.pop_front();
    return path;
}

QStringList ScriptedDialogService::openFileNames(const QString& filter) {
    shown_.push_back({QStringLiteral("open files"), filter, QString()});
    if (fileLists_.empty()) {
        unanswered_ << QStringLiteral("open files ") + filter;
        return {};
    }
    const QStringList paths = fileLists_.front();
    fileLists_.pop_front();
    return paths;
}

QStringList ScriptedDialogService::messages() const {
    seen_ = shown_.size();
    QStringList texts;
    for (const Shown& s : shown_)
        if (s.kind == QLatin1String("message"))
            texts << s.text;
    return texts;
}

QStringList ScriptedDialogService::unchecked() const {
    QStringList texts = overlooked_;
    addUnseenMessages(texts);
    return texts;
}

void ScriptedDialogService::addUnseenMessages(QStringList& texts) const {
    for (qsizetype i = seen_; i < shown_.size(); ++i)
        if (shown_[i].kind == QLatin1String("message"))
            texts << shown_[i].text;
}

QStringList ScriptedDialogService::unused() const {
    QStringList out;
    for (bool yes : yesNo_)
        out << (yes ? QStringLiteral("Yes") : QStringLiteral("No"));
    for (const std::optional<bool>& answer : yesNoCancel_)
        out << (!answer   ? QStringLiteral("Cancel")
                : *answer ? QStringLiteral("Yes")
                          : QStringLiteral("No"));
    for (const QString& text : inputs_)
        out << QStringLiteral("input ") + text;
    for (const QString& path : files_)
        out << QStringLiteral("file ") + path;
    for (const QStringList& paths : fileLists_)
        out << QStringLiteral("files ") + paths.join(u' ');
    return out;
}

void ScriptedDialogService::clear() {
    addUnseenMessages(overlooked_);
    shown_.clear();
    seen_ = 0;
}

} // namespace pellamy
