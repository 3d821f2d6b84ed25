#include "frmsplashpellamy.h"

#include "app/namefiles.h"
#include "app/program.h"
#include "platform/fonts.h"
#include "platform/programfolder.h"

#include "platform/windowhabits.h"
#include "ui_frmsplashpellamy.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>

namespace pellamy {

namespace {

// A name box: the window-background colour on the desktop colour. The
// desktop has no colour of its own here: the classic desktop blue. Under a
// dark theme the window background is dark too, and would hardly show on
// the blue: white is the classic window background.
void nameLook(QLineEdit* box, double points) {
    box->setFont(windowFont(QStringLiteral("Arial"), points, true));
    QPalette p = box->palette();
    const QColor background = p.color(QPalette::Base);
    p.setColor(QPalette::Text, background.lightness() >= 160 ? background : QColor(Qt::white));
    p.setColor(QPalette::Base, QColor(0x3a, 0x6e, 0xa5));
    box->setPalette(p);
}

// The picture's own size; on a small screen at a large text size it is
// drawn smaller, as small as need be, so the buttons under it stay on the
// screen.
constexpr QSize kPicture(228, 288);

// Drawn for the screen's pixels, so it is sharp at any text size.
QPixmap pigeonPicture(const QSize& size, qreal pixelRatio) {
    QSvgRenderer renderer(QStringLiteral(":/app/pigeon.svg"));
    QPixmap pixmap(size * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), size));
    return pixmap;
}

} // namespace

frmSplashPellamy::frmSplashPellamy(Program& program, DialogService* dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::frmSplashPellamy>()), program_(program),
      ownDialogs_(dialogs ? nullptr : std::make_unique<QtDialogService>(this)),
      dialogs_(dialogs ? dialogs : ownDialogs_.get()) {
    ui_->setupUi(this);
    nameLook(ui_->txtclub, 12);
    nameLook(ui_->txtfed, 9.75);
    ui_->Picture1->setPixmap(pigeonPicture(kPicture, devicePixelRatioF()));
    ui_->Picture1->setMinimumSize(1, 1);
    resize(size().expandedTo(sizeHint())); // room for the whole picture
    ui_->Picture1->installEventFilter(this);
    for (QPushButton* b : {ui_->Command1, ui_->Command2, ui_->Command3, ui_->Command4,
                           ui_->Command5, ui_->cmdSeason}) {
        b->setFont(windowFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    }
    connect(ui_->Command1, &QPushButton::clicked, this, &frmSplashPellamy::Command1_Click);
    connect(ui_->Command2, &QPushButton::clicked, this, &frmSplashPellamy::Command2_Click);
    connect(ui_->Command3, &QPushButton::clicked, this, &frmSplashPellamy::Command3_Click);
    connect(ui_->Command4, &QPushButton::clicked, this, &frmSplashPellamy::Command4_Click);
    connect(ui_->Command5, &QPushButton::clicked, this, &frmSplashPellamy::Command5_Click);
    connect(ui_->cmdSeason, &QPushButton::clicked, this, &frmSplashPellamy::cmdSeason_Click);
    // A name too long for its box is read whole as the box's tip.
    for (QLineEdit* box : {ui_->txtclub, ui_->txtfed})
        connect(box, &QLineEdit::textChanged, box, &QWidget::setToolTip);
    wheelOnlyWhenFocused(this);
    enterPressesButtons(this);
    oneLineTyping(this);
    showEmptyCaption(this);
    setAccessibleName(QStringLiteral("Pellamy")); // what a screen reader says for it
    // Enter at the start goes to the calculator, not into a name's edit,
    // where a box cancelled stores the name empty.
    ui_->Command1->setFocus();
    Form_Load();
}

frmSplashPellamy::~frmSplashPellamy() = default;

bool frmSplashPellamy::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Picture1 && event->type() == QEvent::Resize) {
        // The largest that fits the room the window gives it, never larger
        // than its own size.
        const QSize fit =
            kPicture.scaled(ui_->Picture1->size(), Qt::KeepAspectRatio).boundedTo(kPicture);
        const QPixmap shown = ui_->Picture1->pixmap();
        if (fit.isEmpty())
            ui_->Picture1->clear();
        else if (shown.deviceIndependentSize().toSize() != fit ||
                 shown.devicePixelRatio() != devicePixelRatioF())
            ui_->Picture1->setPixmap(pigeonPicture(fit, devicePixelRatioF()));
    }
    return QWidget::eventFilter(watched, event);
}

QString frmSplashPellamy::clubName() const {
    return ui_->txtclub->text();
}

QString frmSplashPellamy::fedName() const {
    return ui_->txtfed->text();
}

void frmSplashPellamy::Form_Load() {
    ui_->txtclub->setText(program_.storedName(QStringLiteral("club.txt")));
    ui_->txtfed->setText(program_.storedName(QStringLiteral("fed.txt")));
    // A name too long for its box shows its start.
    ui_->txtclub->setCursorPosition(0);
    ui_->txtfed->setCursorPosition(0);
}

void frmSplashPellamy::Command1_Click() {
    program_.showCalculator();
    close();
}

void frmSplashPellamy::Command2_Click() {
    editName(ui_->txtclub, QStringLiteral("club.txt"), QStringLiteral("Club"));
}

void frmSplashPellamy::Command3_Click() {
    editName(ui_->txtfed, QStringLiteral("fed.txt"), QStringLiteral("Federation"));
}

void frmSplashPellamy::Command4_Click() {
    close();
}

void frmSplashPellamy::Command5_Click() {
    program_.showDistancesEditor();
}

void frmSplashPellamy::cmdSeason_Click() {
    program_.showSeasonResults();
}

void frmSplashPellamy::editName(QLineEdit* box, const QString& file, const QString& what) {
    // A name pasted from a spreadsheet, taken up to its line break or tab.
    const QString name = firstLine(dialogs_->input(
        QStringLiteral("Please enter the %1 name").arg(what), QStringLiteral("Pellamy")));
    box->setText(name);
    box->setCursorPosition(0);
    if (box->text().isEmpty())
        dialogs_->message(QStringLiteral("You have not entered a %1 name").arg(what),
                          QStringLiteral("Error"));
    // Stored in every case, so an empty name replaces the stored one.
    const QString path = fileInFolder(program_.folder(), file);
    const FileWrite saved = writeNameFile(path, box->text());
    program_.nameTyped(file, box->text(), saved.ok());
    if (!saved.ok())
        dialogs_->message(QStringLiteral("The %1 name could not be saved: the file %2 cannot be "
                                         "written%3. The name is shown until Pellamy is closed.")
                              .arg(what.toLower(), QDir::toNativeSeparators(path),
                                   saved.problem.isEmpty()
                                       ? QString()
                                       : QStringLiteral(", because ") + saved.problem),
                          QStringLiteral("Pellamy"));
}

} // namespace pellamy
