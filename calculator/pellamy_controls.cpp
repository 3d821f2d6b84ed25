// The calculator window's controls: the form pellamy.ui gives their names,
// captions, places and keyboard order; this sets what a form cannot hold.

#include "pellamy.h"

#include "ui_pellamy.h"

#include "racefile/recovery.h"

#include "calc/raceentry.h"
#include "calc/textforms.h"
#include "groupcaptions.h"
#include "picturebutton.h"
#include "platform/fonts.h"
#include "platform/lengthlimit.h"
#include "platform/windowhabits.h"
#include "reports/maillauncher.h"
#include "reports/sheetprinter.h"
#include "timeoverlay.h"
#include "wrapbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimeEdit>
#include <QTimeZone>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

// The calculator's pictures, compiled into the program.
static void initCalculatorResources() {
    Q_INIT_RESOURCE(resources);
}

namespace pellamy {

namespace {

const QString kSans = QStringLiteral("MS Sans Serif");

// The member's name, read-only, where the member list stands while the list
// is hidden (another bird for the same member).
class MemberStandIn : public QObject {
public:
    explicit MemberStandIn(QComboBox* list) : QObject(list), list_(list) {
        name_ = new QLineEdit(list->parentWidget());
        name_->setObjectName(QStringLiteral("membershown"));
        name_->setReadOnly(true);
        name_->setFocusPolicy(Qt::NoFocus);
        name_->setFont(list->font());
        name_->setPalette(list->palette());
        name_->hide();
        list->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Hide:
            name_->setText(list_->currentText().trimmed());
            name_->setCursorPosition(0);
            name_->setGeometry(list_->geometry());
            name_->show();
            name_->raise();
            break;
        case QEvent::Show:
            name_->hide();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            name_->setGeometry(list_->geometry());
            break;
        default:
            break;
        }
        return false;
    }

private:
    QComboBox* list_;
    QLineEdit* name_;
};

// The copies box at the right end of a print button.
void placeCopiesBox(QLineEdit* box, QPushButton* onButton) {
    auto* layout = new QHBoxLayout(onButton);
    layout->setContentsMargins(4, 3, 4, 3);
    layout->addStretch(1);
    layout->addWidget(box);
}

// The calculator's form in a window smaller than itself. The focus moved
// by Tab is brought into view by setUpControls' own rule; Qt's step after it
// would bring only a box's text cursor into view, and the right end of a
// control wider than the view.
class FormScroll : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

} // namespace

void Pellamy::nameForScreenReaders() {
    // Each box by the label beside it; a time's boxes by the part they hold.
    // A screen reader would otherwise read a frame's caption for every box in
    // it, and nothing for the time pickers, which lie over their boxes.
    Ui::Pellamy& ui = *ui_;
    const std::pair<QWidget*, QLabel*> labelled[] = {
        {ui.txtmember, ui.Label26},    {ui.txtbirds, ui.Label25},    {ui.txtwind, ui.Label22},
        {ui.racepoint, ui.Label33},    {ui.DayClockSet, ui.Label21}, {ui.RaceDay, ui.Label27},
        {ui.DayClockOpen, ui.Label29}, {ui.mtdetailset, ui.Label13}, {ui.mtreadset, ui.Label17},
        {ui.mtdetailrake, ui.Label14}, {ui.mtreadrake, ui.Label18},  {ui.comcol, ui.Label19},
        {ui.ringno, ui.Label1},        {ui.birdedit, ui.Label37},    {ui.coledit, ui.Label36},
        {ui.sexedit, ui.Label38},      {ui.rubinedit, ui.Label39}};
    for (const auto& [box, label] : labelled)
        nameAfterLabel(box, label);
    nameAfterLabel(ui.ruboutedit, ui.Label2, ui.Label40->text());
    nameAfterLabel(ui.Rubin, ui.Label2, ui.Label5->text());
    nameAfterLabel(ui.Rubout, ui.Label2, ui.Label6->text());
    const QString parts[] = {QStringLiteral("hours"), QStringLiteral("minutes"),
                             QStringLiteral("seconds")};
    const std::pair<QLabel*, std::array<QWidget*, 4>> times[] = {
        {ui.Label7, {ui.DTPicker1, ui.MTSetHr, ui.MTSetMin, ui.MTSetSec}},
        {ui.Label9, {ui.DTPicker5, ui.CsHr, ui.CsMin, ui.CsSec}},
        {ui.Label8, {ui.DTPicker4, ui.MTRakeHr, ui.MTRakeMin, ui.MTRakeSec}},
        {ui.Label10, {ui.DTPicker6, ui.CrHr, ui.CrMin, ui.CrSec}},
        {ui.Label28, {nullptr, ui.birdlibhrs, ui.birdlibmins, nullptr}}};
    for (const auto& [label, controls] : times) {
        if (controls[0])
            nameAfterLabel(controls[0], label);
        for (std::size_t i = 1; i < 4; ++i)
            if (controls[i])
                nameAfterLabel(controls[i], label, parts[i - 1]);
    }
    nameAfterLabel(ui.HODhr, ui.Label30, QStringLiteral("from hours"));
    nameAfterLabel(ui.HODmin, ui.Label30, QStringLiteral("from minutes"));
    nameAfterLabel(ui.HOLhr, ui.Label30, QStringLiteral("to hours"));
    nameAfterLabel(ui.HOLmin, ui.Label30, QStringLiteral("to minutes"));
    ui.DaybirdClocked->setAccessibleName(QStringLiteral("Date bird clocked"));
    ui.DTPicker7->setAccessibleName(QStringLiteral("Time bird clocked"));
    const std::array<QWidget*, 3> clocked = {ui.birdclockhrs, ui.birdclockmins, ui.birdclocksecs};
    for (std::size_t i = 0; i < 3; ++i)
        clocked[i]->setAccessibleName(QStringLiteral("Time bird clocked ") + parts[i]);
    ui.txtcopies2->setAccessibleName(ui.Clubprint->text().simplified() + QStringLiteral(" copies"));
    ui.txtcopies->setAccessibleName(ui.CmdPrint->text().simplified() + QStringLiteral(" copies"));
    ui.member->setAccessibleName(QStringLiteral("Member"));
    ui.ListView1->setAccessibleName(QStringLiteral("Birds entered"));
    ui.txtcomments->setAccessibleName(QStringLiteral("Race comments"));
}

void Pellamy::setUpControls() {
    Ui::Pellamy& ui = *ui_;
    // Fonts, in the sizes the window was drawn with: bold MS Sans Serif of
    // 8.25 points unless named otherwise.
    const QFont plain = windowFont(kSans, 8.25, true);
    for (QWidget* w : findChildren<QWidget*>())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            w->setFont(plain); // the form's controls, not the parts Qt makes inside them
    const QFont clockFont = windowFont(QStringLiteral("System"), 9.75, true);
    const QFont large = windowFont(kSans, 9.75, true);
    const QFont resultFont = windowFont(QStringLiteral("Times New Roman"), 12, true);
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui.MTSetHr, ui.MTSetMin, ui.MTSetSec, ui.CsHr, ui.CsMin, ui.CsSec, ui.MTRakeHr,
             ui.MTRakeMin, ui.MTRakeSec, ui.CrHr, ui.CrMin, ui.CrSec, ui.birdclockhrs,
             ui.birdclockmins, ui.birdclocksecs})
        w->setFont(clockFont);
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui.HODhr,     ui.HODmin,    ui.HOLhr,     ui.HOLmin,    ui.DTPicker1,
             ui.DTPicker4, ui.DTPicker5, ui.DTPicker6, ui.DTPicker7, ui.cmdremove,
             ui.CmdClear,  ui.Clubprint, ui.cmdsave,   ui.Command1,  ui.Command2,
             ui.CmdPrint,  ui.cmdopen,   ui.CmdExit,   ui.txtcopies, ui.txtcopies2})
        w->setFont(large);
    ui.member->setFont(windowFont(QStringLiteral("Georgia"), 9.75, true));
    ui.txtcomments->setFont(windowFont(kSans, 9.75, false));
    ui.ListView1->setFont(windowFont(kSans, 8.25, false));
    ui.Label12->setFont(QFont()); // the window's own font, as the captions were drawn

    // Entry limits: two characters in the clock, liberation and darkness boxes.
    for (QLineEdit* box :
         {ui.MTSetHr,    ui.MTSetMin,    ui.MTSetSec,     ui.CsHr,          ui.CsMin,
          ui.CsSec,      ui.MTRakeHr,    ui.MTRakeMin,    ui.MTRakeSec,     ui.CrHr,
          ui.CrMin,      ui.CrSec,       ui.birdclockhrs, ui.birdclockmins, ui.birdclocksecs,
          ui.birdlibhrs, ui.birdlibmins, ui.birdlibsecs,  ui.HODhr,         ui.HODmin,
          ui.HOLhr,      ui.HOLmin})
        limitTyping(box, 2);

    // The race dates are clock-face dates, in no time zone: in local time a
    // date chosen on the day the clocks go forward could move the time of
    // day kept with it, and the night counts would become fractions. The
    // form's range is set again as clock-face dates, as the change of zone
    // moves it by the local time's offset.
    for (QDateTimeEdit* picker : {ui.DayClockSet, ui.RaceDay, ui.DayClockOpen, ui.DaybirdClocked}) {
        const QDateTime first = picker->minimumDateTime(), last = picker->maximumDateTime();
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
        picker->setTimeZone(QTimeZone::UTC);
#else
        picker->setTimeSpec(Qt::UTC);
#endif
        picker->setDateTimeRange(clockFaceDateTime(first.date(), first.time()),
                                 clockFaceDateTime(last.date(), last.time()));
    }

    // The race entry list, its column widths (kept in hundredths of a
    // millimetre) and the group captions over its columns.
    ui.ListView1->setModel(&entries_);
    // One line a row: a bird clocked into a long race lays out one row, not
    // every row.
    ui.ListView1->setUniformRowHeights(true);
    ui.ListView1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui.ListView1, &QWidget::customContextMenuRequested, this,
            &Pellamy::ListView1_ContextMenu);
    QHeaderView* header = ui.ListView1->header();
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setMinimumSectionSize(8);
    const double dotsPerMm = logicalDpiX() / 25.4;
    for (int c = 0; c < kColumnCount; ++c)
        header->resizeSection(
            c, int(raceEntryColumns()[std::size_t(c)].width / 100.0 * dotsPerMm + 0.5));
    ui.Label12->setText(groupCaptionLine());
    ui.Label12->setHeader(header);

    // The member list and the colour list.
    ui.member->setEditText(QStringLiteral("             Choose Member"));
    ui.member->lineEdit()->setPlaceholderText(QStringLiteral("Choose Member"));
    QPalette white = ui.member->palette();
    white.setColor(QPalette::Base, Qt::white);
    white.setColor(QPalette::Text, Qt::black);
    ui.member->setPalette(white);
    QSizePolicy keepPlace = ui.member->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    ui.member->setSizePolicy(keepPlace);
    ui.comcol->setEditText(QStringLiteral("Combo1"));
    // The member list takes its width from the window, never from measuring
    // a federation's thousands of names.
    ui.member->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    ui.member->setMinimumContentsLength(8);
    ui.member->setIconSize(QSize(0, 0)); // no room for icons it never has
    new MemberStandIn(ui.member);

    // The comments and the Edit frame share one place, sized by the
    // comments: switching between them moves nothing.
    QSizePolicy commentsPlace = ui.Frame10->sizePolicy();
    commentsPlace.setRetainSizeWhenHidden(true);
    ui.Frame10->setSizePolicy(commentsPlace);
    ui.Frame11->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);

    // Each time picker lies over the three boxes that hold its time.
    ui.masterSetRow->attach(ui.DTPicker1, ui.MTSetHr, ui.MTSetMin, ui.MTSetSec);
    ui.clockSetRow->attach(ui.DTPicker5, ui.CsHr, ui.CsMin, ui.CsSec);
    ui.masterReadRow->attach(ui.DTPicker4, ui.MTRakeHr, ui.MTRakeMin, ui.MTRakeSec);
    ui.clockReadRow->attach(ui.DTPicker6, ui.CrHr, ui.CrMin, ui.CrSec);
    ui.birdClockedRow->attach(ui.DTPicker7, ui.birdclockhrs, ui.birdclockmins, ui.birdclocksecs);

    placeCopiesBox(ui.txtcopies2, ui.Clubprint);
    placeCopiesBox(ui.txtcopies, ui.CmdPrint);
    nameForScreenReaders();
    ui.Picture1->setPicture(QStringLiteral(":/calculator/calculate.svg"));
    enterPressesButtons(this);
    clickSelectsDatePart(this);
    dayWaitsForItsMonth(this);
    oneLineTyping(this);
    showEmptyCaption(this);
    setAccessibleName(QStringLiteral("Pellamy calculator")); // for screen readers

    // The form scrolls in a window smaller than itself (a small laptop
    // screen at a large text size keeps every control in reach); at its own
    // size it shows as it always has.
    const QSize formSize = size();
    // Moved to another parent, a control loses its place in the keyboard
    // order: the form's order is kept and set again.
    QList<QWidget*> tabOrder;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() &&
            !w->objectName().startsWith(QLatin1String("qt_")))
            tabOrder << w;
    auto* form = new QWidget;
    form->setLayout(layout()); // the controls go with their layout
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != form)
            child->setParent(form);
    auto* scroll = new FormScroll(this);
    formScroll_ = scroll;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setWidget(form);
    // Wherever the focus goes (by Tab, out of a time picker, after a bird is
    // clocked), the form shows it; not on a click, which would move the form
    // under the pointer.
    // Coming back to the window (from another program, or a message closed)
    // to where the focus was keeps the form as the user scrolled it.
    connect(qApp, &QApplication::focusChanged, scroll,
            [scroll, form, leftFrom = QPointer<QWidget>()](QWidget* old, QWidget* now) mutable {
                const bool fromForm = old && form->isAncestorOf(old);
                const bool toForm = now && form->isAncestorOf(now);
                if (fromForm && !toForm)
                    leftFrom = old;
                if (!toForm || QApplication::mouseButtons() != Qt::NoButton)
                    return;
                const bool back = !fromForm && now == leftFrom;
                leftFrom.clear();
                if (back)
                    return;
                // The whole control, not only its text cursor (all a box
                // would ask for): a clock time half in view cannot be read.
                // One larger than the view shows its top left.
                const QSize room = scroll->viewport()->size() - QSize(4, 4);
                const QRect r(now->mapTo(form, QPoint(0, 0)), now->size().boundedTo(room));
                scroll->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + 2,
                                      r.height() / 2 + 2);
            });
    wheelOnlyWhenFocused(this);
    auto* whole = new QVBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(scroll);
    resize(formSize.expandedTo(form->minimumSizeHint()));
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    // The results frame is never shown; its boxes keep their look.
    for (QLineEdit* result :
         {ui.variation, ui.FTHrs, ui.FTMins, ui.FTSecs, ui.velocity, ui.Text1}) {
        result->setFont(resultFont);
        QPalette p = result->palette();
        p.setColor(QPalette::Base, Qt::black);
        p.setColor(QPalette::Text, Qt::white);
        result->setPalette(p);
    }
}

Pellamy::Pellamy(const QString& folder, DialogService* dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(folder), ui_(std::make_unique<Ui::Pellamy>()),
      ownDialogs_(dialogs ? nullptr : std::make_unique<QtDialogService>(this)),
      dialogs_(dialogs ? dialogs : ownDialogs_.get()), store_(distanceSourceInFolder(folder)) {
    initCalculatorResources();
    ui_->setupUi(this);
    setUpControls();
    connectHandlers();
    showStartingTexts();
    Form_Load();
    startRecovery();
    // A bird's clock time is the first thing typed.
    ui_->DTPicker7->setFocus();
}

Pellamy::~Pellamy() {
    // A copy being made is stopped (on a slow line it may take minutes) and
    // thrown away; the last whole copy stays.
    if (copying_) {
        copying_->requestInterruption();
        copying_->wait();
    }
}

} // namespace pellamy
