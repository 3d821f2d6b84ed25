#include "program.h"

#include "season/window/frmseason.h"

#include "app/frmsplashpellamy.h"
#include "app/namefiles.h"
#include "calculator/pellamy.h"
#include "distances/editor/frmdistances.h"
#include "platform/programfolder.h"
#include "platform/windowhabits.h"

#include <QApplication>
#include <QIcon>
#include <QLineEdit>

// The start window's picture and the program's icon, compiled in.
static void initAppResources() {
    Q_INIT_RESOURCE(app);
}

namespace pellamy {

QIcon programIcon() {
    initAppResources();
    return QIcon(QStringLiteral(":/app/pellamy-icon.svg"));
}

Program::Program(const QString& folder, DialogService* dialogs)
    : folder_(folder), dialogs_(dialogs), endAction_([] {
          QApplication::closeAllWindows();
          QApplication::quit();
      }) {
    initAppResources();
}

Program::~Program() {
    delete season_.data();
    delete editor_.data();
    delete calculator_.data();
    delete splash_.data();
}

frmSplashPellamy* Program::makeStartWindow() {
    splash_ = new frmSplashPellamy(*this, dialogs_);
    splash_->setAttribute(Qt::WA_DeleteOnClose);
    return splash_;
}

frmSplashPellamy* Program::start() {
    if (!splash_)
        makeStartWindow();
    splash_->show();
    centreOnScreen(splash_);
    return splash_;
}

Pellamy* Program::showCalculator() {
    if (!calculator_) {
        calculator_ = new Pellamy(folder_, dialogs_);
        calculator_->setAttribute(Qt::WA_DeleteOnClose);
        calculator_->setNamesSource([this] {
            const ClubNames n = names();
            return std::pair{n.club, n.fed};
        });
        calculator_->setEndAction([this] { end(); });
    }
    calculator_->show();
    calculator_->raise();
    calculator_->activateWindow();
    return calculator_;
}

frmdistances* Program::showDistancesEditor() {
    if (!editor_) {
        editor_ = new frmdistances(folder_, dialogs_);
        editor_->setAttribute(Qt::WA_DeleteOnClose);
    }
    editor_->setWindowState(editor_->windowState() & ~Qt::WindowMinimized);
    editor_->show();
    editor_->raise();
    editor_->activateWindow();
    return editor_;
}

frmseason* Program::showSeasonResults() {
    if (!season_) {
        season_ = new frmseason([this] { return names().club; }, dialogs_);
        season_->setAttribute(Qt::WA_DeleteOnClose);
        centreOnScreen(season_);
    }
    season_->setWindowState(season_->windowState() & ~Qt::WindowMinimized);
    season_->show();
    season_->raise();
    season_->activateWindow();
    return season_;
}

QString Program::storedName(const QString& file) const {
    return unsavedNames_.contains(file) ? unsavedNames_.value(file)
                                        : readNameFile(fileInFolder(folder_, file));
}

void Program::nameTyped(const QString& file, const QString& name, bool saved) {
    if (saved)
        unsavedNames_.remove(file);
    else
        unsavedNames_.insert(file, name);
}

ClubNames Program::names() {
    if (!splash_)
        makeStartWindow(); // hidden: its load step reads the two files
    return {splash_->clubName(), splash_->fedName()};
}

frmSplashPellamy* Program::startWindow() const {
    return splash_;
}
Pellamy* Program::calculator() const {
    return calculator_;
}
frmdistances* Program::distancesEditor() const {
    return editor_;
}

void Program::end() {
    // Ending saves nothing anywhere: what is typed in the distances editor
    // is thrown away, not written to distances.mdb.
    if (editor_)
        editor_->closeWithoutSaving();
    endAction_();
}

} // namespace pellamy
