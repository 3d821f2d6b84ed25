#pragma once
// The start window: the club's and the federation's names, and the way to
// the calculator and the distances editor.

#include "platform/dialogs.h"

#include <QWidget>

#include <memory>

class QLineEdit;

namespace Ui {
class frmSplashPellamy;
}

namespace pellamy {

class Program;

class frmSplashPellamy : public QWidget {
    Q_OBJECT
public:
    // dialogs: the dialog service (the real dialogs when none is given).
    explicit frmSplashPellamy(Program& program, DialogService* dialogs = nullptr,
                              QWidget* parent = nullptr);
    ~frmSplashPellamy() override;

    // The names in the two name boxes, as the printed sheets take them.
    QString clubName() const;
    QString fedName() const;

public slots:
    void Form_Load();
    void Command1_Click();  // Go to Calculator
    void Command2_Click();  // Edit Club Name
    void Command3_Click();  // Edit Fed Name
    void Command4_Click();  // Exit
    void Command5_Click();  // Enter Members Distances
    void cmdSeason_Click(); // Season Results

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void editName(QLineEdit* box, const QString& file, const QString& what);

    std::unique_ptr<Ui::frmSplashPellamy> ui_; // the form (frmsplashpellamy.ui)
    Program& program_;
    std::unique_ptr<DialogService> ownDialogs_;
    DialogService* dialogs_;
};

} // namespace pellamy
