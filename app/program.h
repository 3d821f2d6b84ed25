#pragma once
// The running program's windows: the start window, the calculator and the
// distances editor, which window opens which, and the club and federation
// names the printed sheets read through the start window.

#include "platform/dialogs.h"

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

namespace pellamy {

class frmSplashPellamy;
class frmdistances;
class frmseason;
class Pellamy;

// The program's icon.
QIcon programIcon();

struct ClubNames {
    QString club;
    QString fed;
};

class Program : public QObject {
    Q_OBJECT
public:
    // folder: the program folder; dialogs: the dialog service every window
    // uses (the real dialogs when none is given).
    explicit Program(const QString& folder, DialogService* dialogs = nullptr);
    ~Program() override;

    const QString& folder() const { return folder_; }

    // Shows the start window, as the program does when it starts.
    frmSplashPellamy* start();

    // Shows the calculator (made once, kept until the program ends).
    Pellamy* showCalculator();
    // Shows the distances editor, or brings an open one to the front.
    frmdistances* showDistancesEditor();
    // Shows the season results window, or brings an open one to the front.
    frmseason* showSeasonResults();

    // The names in the start window's boxes. When the start window has been
    // closed, a hidden one is made again, which reads club.txt and fed.txt
    // afresh (but for a name typed this session that could not be saved),
    // and is kept for later reads.
    ClubNames names();
    // The name a name file (club.txt, fed.txt) holds, or the one typed this
    // session when the file could not be written: that one is used on the
    // sheets until Pellamy is closed, as the start window says.
    QString storedName(const QString& file) const;
    void nameTyped(const QString& file, const QString& name, bool saved);

    frmSplashPellamy* startWindow() const;
    Pellamy* calculator() const;
    frmdistances* distancesEditor() const;

    // Ends the program at once, closing every window (the calculator's
    // confirmed Exit). Tests replace what ending does.
    void end();
    void setEndAction(std::function<void()> action) { endAction_ = std::move(action); }

private:
    frmSplashPellamy* makeStartWindow();

    QString folder_;
    DialogService* dialogs_; // may be null: each window then uses the real dialogs
    QPointer<frmSplashPellamy> splash_;
    QPointer<Pellamy> calculator_;
    QPointer<frmdistances> editor_;
    QPointer<frmseason> season_;
    std::function<void()> endAction_;
    QHash<QString, QString> unsavedNames_;
};

} // namespace pellamy
