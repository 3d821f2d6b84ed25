#pragma once
// The start window: the club's and the federation's names, and the way to
// the calculator and the distances editor.

#include "platform/dialogs.h"

#include <QWidget>

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pellamy {

class Program;

class frmSplashPellamy : public QWidget {
    Q_OBJECT
public:
    // dialogs: the dialog service (the real dialogs when none is given).
    explicit frmSplashPellamy(Program& program, DialogService* dialogs = nullptr,
                              QWidget* parent = nullptr);
    ~frmSplashPellamy() override;

    QGroupBox* Frame1;
    QLineEdit* txtclub;
    QLineEdit* txtfed;
    QLabel* Picture1;
    QGroupBox* Frame2;
    QPushButton* Command2;
    QPushButton* Command3;
    QGroupBox* Frame3;
    QPushButton* Command5;
    QGroupBox* Frame4;
    QPushButton* Command1;
    QPushButton* Command4;

public slots:
    void Form_Load();
    void Command1_Click(); // Go to Calculator
    void Command2_Click(); // Edit Club Name
    void Command3_Click(); // Edit Fed Name
    void Command4_Click(); // Exit
    void Command5_Click(); // Enter Members Distances

private:
    void editName(QLineEdit* box, const QString& file, const QString& what);

    Program& program_;
    std::unique_ptr<DialogService> ownDialogs_;
    DialogService* dialogs_;
};

} // namespace pellamy
