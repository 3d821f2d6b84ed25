#include "frmsplashpellamy.h"

#include "app/namefiles.h"
#include "app/program.h"
#include "platform/fonts.h"
#include "platform/programfolder.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QVBoxLayout>

namespace pellamy {

namespace {

QGroupBox* panel(const char* name) {
    auto* frame = new QGroupBox;
    frame->setObjectName(QString::fromLatin1(name));
    return frame;
}

QPushButton* button(const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromLatin1(caption));
    b->setObjectName(QString::fromLatin1(name));
    b->setFont(windowFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    b->setAutoDefault(false);
    b->setMinimumHeight(33);
    return b;
}

// A name box: read-only, centred, the window-background colour on the
// desktop colour.
QLineEdit* nameBox(const char* name, double points) {
    auto* box = new QLineEdit;
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    box->setFont(windowFont(QStringLiteral("Arial"), points, true));
    box->setFocusPolicy(Qt::NoFocus);
    // The desktop has no colour of its own here: the classic desktop blue.
    QPalette p = box->palette();
    p.setColor(QPalette::Text, p.color(QPalette::Base));
    p.setColor(QPalette::Base, QColor(0x3a, 0x6e, 0xa5));
    box->setPalette(p);
    return box;
}

QPixmap pigeonPicture(const QSize& size) {
    QSvgRenderer renderer(QStringLiteral(":/app/pigeon.svg"));
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    return pixmap;
}

} // namespace

frmSplashPellamy::frmSplashPellamy(Program& program, DialogService* dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), program_(program),
      ownDialogs_(dialogs ? nullptr : std::make_unique<QtDialogService>(this)),
      dialogs_(dialogs ? dialogs : ownDialogs_.get()) {
    setObjectName(QStringLiteral("frmSplashPellamy"));
    setWindowTitle(QString());

    Frame1 = panel("Frame1");
    txtclub = nameBox("txtclub", 12);
    txtfed = nameBox("txtfed", 9.75);
    Picture1 = new QLabel;
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(pigeonPicture(QSize(228, 288)));
    Picture1->setAlignment(Qt::AlignCenter);
    Frame2 = panel("Frame2");
    Command2 = button("Command2", "Edit Club Name");
    Command3 = button("Command3", "Edit Fed Name");
    Frame3 = panel("Frame3");
    Command5 = button("Command5", "Enter Members Distances");
    Frame4 = panel("Frame4");
    Command1 = button("Command1", "Go to Calculator");
    Command4 = button("Command4", "Exit");

    // The panel behind the names and the picture; the club name lies over it.
    auto* names = new QVBoxLayout(Frame1);
    names->setContentsMargins(14, 14, 14, 14);
    names->setSpacing(14);
    names->addWidget(txtclub);
    names->addWidget(txtfed);
    names->addWidget(Picture1, 1);
    auto* edits = new QHBoxLayout(Frame2);
    edits->addWidget(Command2);
    edits->addWidget(Command3);
    auto* distances = new QHBoxLayout(Frame3);
    distances->addWidget(Command5);
    auto* leave = new QHBoxLayout(Frame4);
    leave->addWidget(Command1);
    leave->addWidget(Command4);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(8, 8, 8, 8);
    window->setSpacing(4);
    window->addWidget(Frame1, 1);
    window->addWidget(Frame2);
    window->addWidget(Frame3);
    window->addWidget(Frame4);

    connect(Command1, &QPushButton::clicked, this, &frmSplashPellamy::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmSplashPellamy::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmSplashPellamy::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmSplashPellamy::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frmSplashPellamy::Command5_Click);

    resize(280, 618);
    Form_Load();
}

frmSplashPellamy::~frmSplashPellamy() = default;

void frmSplashPellamy::Form_Load() {
    txtclub->setText(readNameFile(fileInFolder(program_.folder(), QStringLiteral("club.txt"))));
    txtfed->setText(readNameFile(fileInFolder(program_.folder(), QStringLiteral("fed.txt"))));
}

void frmSplashPellamy::Command1_Click() {
    program_.showCalculator();
    close();
}

void frmSplashPellamy::Command2_Click() {
    editName(txtclub, QStringLiteral("club.txt"), QStringLiteral("Club"));
}

void frmSplashPellamy::Command3_Click() {
    editName(txtfed, QStringLiteral("fed.txt"), QStringLiteral("Federation"));
}

void frmSplashPellamy::Command4_Click() {
    close();
}

void frmSplashPellamy::Command5_Click() {
    program_.showDistancesEditor();
}

void frmSplashPellamy::editName(QLineEdit* box, const QString& file, const QString& what) {
    const QString name = dialogs_->input(QStringLiteral("Please enter the %1 name").arg(what),
                                         QStringLiteral("Pellamy"));
    box->setText(name);
    if (box->text().isEmpty())
        dialogs_->message(QStringLiteral("You have not entered a %1 name").arg(what),
                          QStringLiteral("Error"));
    // Stored in every case, so an empty name replaces the stored one.
    const QString path = fileInFolder(program_.folder(), file);
    if (!writeNameFile(path, box->text()))
        dialogs_->message(QStringLiteral("The %1 name could not be saved: the file %2 cannot be "
                                         "written. The name is shown until Pellamy is closed.")
                              .arg(what.toLower(), QDir::toNativeSeparators(path)),
                          QStringLiteral("Pellamy"));
}

} // namespace pellamy
