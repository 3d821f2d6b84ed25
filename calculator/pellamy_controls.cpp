// The calculator window's controls: names, captions, initial texts, limits,
// fonts, frames, layout and tab order.

#include "pellamy.h"

#include "racefile/recovery.h"

#include "calc/raceentry.h"
#include "groupcaptions.h"
#include "picturebutton.h"
#include "platform/fonts.h"
#include "platform/lengthlimit.h"
#include "reports/maillauncher.h"
#include "reports/sheetprinter.h"
#include "timeoverlay.h"
#include "wrapbutton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimeEdit>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

// The calculator's pictures, compiled into the program.
static void initCalculatorResources() {
    Q_INIT_RESOURCE(resources);
}

namespace pellamy {

namespace {

const QString kSans = QStringLiteral("MS Sans Serif");

template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* label(const char* name, const char* caption, QWidget* parent = nullptr) {
    auto* l = named(new QLabel(QString::fromLatin1(caption), parent), name);
    l->setFont(windowFont(kSans, 8.25, true));
    return l;
}

// A text box; maxLength 0 means no limit.
QLineEdit* box(const char* name, const char* initial, int maxLength = 0, bool centred = false,
               double points = 8.25, const QString& family = kSans) {
    auto* b = named(new QLineEdit(QString::fromLatin1(initial)), name);
    if (maxLength > 0)
        limitTyping(b, maxLength);
    if (centred)
        b->setAlignment(Qt::AlignCenter);
    b->setFont(windowFont(family, points, true));
    return b;
}

// A holder that is never shown.
QLineEdit* holder(const char* name, const char* initial, QWidget* parent) {
    auto* b = named(new QLineEdit(QString::fromLatin1(initial), parent), name);
    b->hide();
    return b;
}

QGroupBox* frame(const char* name, const char* caption) {
    auto* f = named(new QGroupBox(QString::fromUtf8(caption)), name);
    f->setFont(windowFont(kSans, 8.25, true));
    return f;
}

QPushButton* button(const char* name, const char* caption) {
    auto* b = named(new WrapButton(QString::fromLatin1(caption)), name);
    b->setFont(windowFont(kSans, 9.75, true));
    b->setAutoDefault(false);
    return b;
}

QCheckBox* check(const char* name, const char* caption) {
    auto* c = named(new QCheckBox(QString::fromLatin1(caption)), name);
    c->setFont(windowFont(kSans, 8.25, true));
    return c;
}

QComboBox* combo(const char* name, const char* initial) {
    auto* c = named(new QComboBox, name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setEditText(QString::fromLatin1(initial));
    c->setFont(windowFont(kSans, 8.25, true));
    return c;
}

QDateTimeEdit* datePicker(const char* name, const QDate& latest) {
    auto* p = named(new QDateTimeEdit, name);
    p->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    p->setCalendarPopup(true);
    p->setDateTimeRange(QDateTime(QDate(2005, 4, 2), QTime(0, 0)),
                        QDateTime(latest, QTime(23, 59, 59)));
    p->setDateTime(QDateTime(QDate(2005, 4, 2), QTime(0, 0)));
    p->setFont(windowFont(kSans, 8.25, true));
    return p;
}

QTimeEdit* timePicker(const char* name, QTime initial) {
    auto* p = named(new QTimeEdit, name);
    p->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    p->setTime(initial);
    p->setFont(windowFont(kSans, 9.75, true));
    p->setAlignment(Qt::AlignCenter);
    return p;
}

// Two hidden-holder parts of the result frame share this look.
void resultLook(QLineEdit* box) {
    box->setReadOnly(true);
    box->setFont(windowFont(QStringLiteral("Times New Roman"), 12, true));
    QPalette p = box->palette();
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::Text, Qt::white);
    box->setPalette(p);
}

// The copies box over the right end of a print button.
QLineEdit* copiesBox(const char* name, QPushButton* onButton) {
    auto* b = named(new QLineEdit(QStringLiteral("1"), onButton), name);
    b->setAlignment(Qt::AlignCenter);
    b->setFont(windowFont(kSans, 9.75, true));
    b->setFixedWidth(30);
    auto* layout = new QHBoxLayout(onButton);
    layout->setContentsMargins(4, 3, 4, 3);
    layout->addStretch(1);
    layout->addWidget(b);
    return b;
}

} // namespace

void Pellamy::createControls() {
    // The race entry list, with the group captions over its columns.
    ListView1 = named(new QTreeView, "ListView1");
    ListView1->setModel(&entries_);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setAlternatingRowColors(true);
    ListView1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ListView1->setFont(windowFont(kSans, 8.25, false));
    QHeaderView* header = ListView1->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionsClickable(false);
    header->setMinimumSectionSize(8);
    // Column widths are kept in hundredths of a millimetre.
    const double dotsPerMm = logicalDpiX() / 25.4;
    for (int c = 0; c < kColumnCount; ++c)
        header->resizeSection(
            c, int(raceEntryColumns()[std::size_t(c)].width / 100.0 * dotsPerMm + 0.5));
    Label12 = named(new GroupCaptions(groupCaptionLine(), header), "Label12");

    // Race details.
    Frame1 = frame("Frame1", "Please fill in all the relevant details if you want a print out.");
    Label26 = label("Label26", "Members ......");
    Label25 = label("Label25", "Birds ....");
    Label22 = label("Label22", "Wind .....");
    Label33 = label("Label33", "Racepoint ....");
    Label28 = label("Label28", "Lib ..");
    txtmember = box("txtmember", "", 0, true);
    txtbirds = box("txtbirds", "", 0, true);
    txtwind = box("txtwind", "", 0, true);
    racepoint = combo("racepoint", "");
    birdlibhrs = box("birdlibhrs", "", 2, true);
    birdlibmins = box("birdlibmins", "", 2, true);
    birdlibsecs = holder("birdlibsecs", "", Frame1);
    limitTyping(birdlibsecs, 2);
    txtdateset = holder("txtdateset", "txtdateset", Frame1);
    txtdaterace = holder("txtdaterace", "txtdaterace", Frame1);

    // Race dates.
    Frame7 = frame("Frame7", "Please set all relevant dates");
    Label21 = label("Label21", "Clocks Set ...............................");
    Label27 = label("Label27", "Liberation ................................");
    Label29 = label("Label29", "Clocks Opened .........................");
    DayClockSet = datePicker("DayClockSet", QDate(2050, 12, 30));
    RaceDay = datePicker("RaceDay", QDate(2050, 12, 30));
    DayClockOpen = datePicker("DayClockOpen", QDate(2050, 12, 30));
    DaybirdClocked = datePicker("DaybirdClocked", QDate(2050, 12, 31));
    midnight = holder("midnight", "", Frame7);
    midnight2 = holder("midnight2", "", Frame7);
    extraday = holder("extraday", "", Frame7);
    for (QLineEdit* count : {midnight, midnight2, extraday})
        count->setAlignment(Qt::AlignCenter);

    // Hours of darkness.
    Frame8 = frame("Frame8", "Set Hours of Darkness");
    Label30 = label("Label30", "Set H.O.D .....");
    Label31 = label("Label31", "From ...");
    Label32 = label("Label32", "To ...");
    HODhr = box("HODhr", "", 2, true, 9.75);
    HODmin = box("HODmin", "", 2, true, 9.75);
    HOLhr = box("HOLhr", "", 2, true, 9.75);
    HOLmin = box("HOLmin", "", 2, true, 9.75);

    // Master clock details.
    Frame3 = frame("Frame3", "Enter master clock details");
    Label13 = label("Label13", "Sets");
    Label17 = label("Label17", "Sets reading");
    Label14 = label("Label14", "Rakes");
    Label18 = label("Label18", "Rake reading");
    mtdetailset = box("mtdetailset", "");
    mtreadset = box("mtreadset", "");
    mtdetailrake = box("mtdetailrake", "");
    mtreadrake = box("mtreadrake", "");

    // The member and the clock times.
    Frame4 = frame("Frame4", "Enter members clock details");
    member = combo("member", "             Choose Member");
    member->setFont(windowFont(QStringLiteral("Georgia"), 9.75, true));
    member->lineEdit()->setPlaceholderText(QStringLiteral("Choose Member"));
    {
        QPalette p = member->palette();
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::Text, Qt::black);
        member->setPalette(p);
        QSizePolicy keepPlace = member->sizePolicy();
        keepPlace.setRetainSizeWhenHidden(true);
        member->setSizePolicy(keepPlace);
    }
    Label7 = label("Label7", "Master Set ................");
    Label9 = label("Label9", "Clock Set .................");
    Label8 = label("Label8", "Master Read ............");
    Label10 = label("Label10", "Clock Read ..............");
    Label11 = label("Label11", "----Date and Time Bird Clocked ----");
    Label11->setAlignment(Qt::AlignCenter);
    const auto clockBox = [](const char* name, const char* initial) {
        return box(name, initial, 2, true, 9.75, QStringLiteral("System"));
    };
    MTSetHr = clockBox("MTSetHr", "");
    MTSetMin = clockBox("MTSetMin", "");
    MTSetSec = clockBox("MTSetSec", "");
    CsHr = clockBox("CsHr", "");
    CsMin = clockBox("CsMin", "");
    CsSec = clockBox("CsSec", "");
    MTRakeHr = clockBox("MTRakeHr", "");
    MTRakeMin = clockBox("MTRakeMin", "");
    MTRakeSec = clockBox("MTRakeSec", "");
    CrHr = clockBox("CrHr", "");
    CrMin = clockBox("CrMin", "");
    CrSec = clockBox("CrSec", "");
    birdclockhrs = clockBox("birdclockhrs", "");
    birdclockmins = clockBox("birdclockmins", "");
    birdclocksecs = clockBox("birdclocksecs", "");
    DTPicker1 = timePicker("DTPicker1", QTime(19, 30));
    DTPicker5 = timePicker("DTPicker5", QTime(19, 30));
    DTPicker4 = timePicker("DTPicker4", QTime(19, 30));
    DTPicker6 = timePicker("DTPicker6", QTime(19, 30));
    DTPicker7 = timePicker("DTPicker7", QTime(10, 0));
    timeRows_[0] = new TimeOverlay(DTPicker1, MTSetHr, MTSetMin, MTSetSec);
    timeRows_[1] = new TimeOverlay(DTPicker5, CsHr, CsMin, CsSec);
    timeRows_[2] = new TimeOverlay(DTPicker4, MTRakeHr, MTRakeMin, MTRakeSec);
    timeRows_[3] = new TimeOverlay(DTPicker6, CrHr, CrMin, CrSec);
    timeRows_[4] = new TimeOverlay(DTPicker7, birdclockhrs, birdclockmins, birdclocksecs);

    // The bird.
    Frame2 = frame("Frame2", "Bird Details");
    Label19 = label("Label19", "Colour ...........");
    Label20 = label("Label20", "Sex ...............");
    Label1 = label("Label1", "Ring Number ..");
    Label2 = label("Label2", "Rubbers ........");
    Label5 = label("Label5", "In");
    Label6 = label("Label6", "Out");
    Label5->setAlignment(Qt::AlignCenter);
    Label6->setAlignment(Qt::AlignCenter);
    comcol = combo("comcol", "Combo1");
    Check3 = check("Check3", "Cock");
    Check4 = check("Check4", "Hen");
    ringno = box("ringno", "");
    Rubin = box("Rubin", "", 0, true);
    Rubout = box("Rubout", "", 0, true);

    // Pool and nomination.
    Frame6 = frame("Frame6", "");
    Check1 = check("Check1", "Pooled");
    Check2 = check("Check2", "Noms");

    // Comments and the edit frame.
    Frame10 = frame("Frame10", "Add your race comments");
    txtcomments = named(new QPlainTextEdit, "txtcomments");
    txtcomments->setFont(windowFont(kSans, 9.75, false));
    txtcomments->setTabChangesFocus(true);
    Frame11 = frame("Frame11", "Edit");
    Label36 = label("Label36", "Colour");
    Label38 = label("Label38", "Sex");
    Label37 = label("Label37", "Ring No");
    Label39 = label("Label39", "Rubbers ....... In");
    Label40 = label("Label40", "Out");
    coledit = box("coledit", "");
    sexedit = box("sexedit", "");
    birdedit = box("birdedit", "");
    rubinedit = box("rubinedit", "");
    ruboutedit = box("ruboutedit", "");

    // Commands.
    Frame9 = frame("Frame9", "");
    cmdremove = button("cmdremove", "Clear Item");
    CmdClear = button("CmdClear", "Clear List");
    Clubprint = button("Clubprint", "Club Print      ");
    cmdsave = button("cmdsave", "Save Race to File");
    Command1 = button("Command1", "Edit");
    Command2 = button("Command2", "Email Result");
    CmdPrint = button("CmdPrint", "Fed Print      ");
    cmdopen = button("cmdopen", "Open Race from File");
    txtcopies2 = copiesBox("txtcopies2", Clubprint);
    txtcopies = copiesBox("txtcopies", CmdPrint);
    Picture1 = named(new PictureButton(QStringLiteral(":/calculator/calculate.svg")), "Picture1");
    Picture1->setAccessibleName(QStringLiteral("CALCULATE"));
    Picture1->setToolTip(QStringLiteral("Calculate this bird"));
    CmdExit = button("CmdExit", "Exit");

    // Results, never shown.
    Frame5 = frame("Frame5", "Results");
    Frame5->setParent(this);
    Frame5->hide();
    Label3 = label("Label3", "Var ...", Frame5);
    Label4 = label("Label4", "A.F.T ...", Frame5);
    Label15 = label("Label15", "Vel ...", Frame5);
    Label16 = label("Label16", "mph ...", Frame5);
    variation = holder("variation", "0", Frame5);
    FTHrs = holder("FTHrs", "", Frame5);
    FTMins = holder("FTMins", "", Frame5);
    FTSecs = holder("FTSecs", "", Frame5);
    velocity = holder("velocity", "", Frame5);
    Text1 = holder("Text1", "", Frame5);
    for (QLineEdit* result : {variation, FTHrs, FTMins, FTSecs, velocity, Text1})
        resultLook(result);
    for (QLineEdit* part : {FTHrs, FTMins, FTSecs})
        part->setAlignment(Qt::AlignCenter);

    // Hidden holders.
    txtsex = holder("txtsex", "", this);
    txtcol = holder("txtcol", "", this);
    txtpool = holder("txtpool", "", this);
    Textcon2 = holder("Textcon2", "textcon2", this);
    miles = holder("miles", "miles", this);
    textcon4 = holder("textcon4", "textcon4", this);
    textcon5 = holder("textcon5", "textcon5", this);
    yards = holder("yards", "yards", this);
    sixtieths = holder("sixtieths", "", this);
}

void Pellamy::createLayout() {
    const auto formRow = [](QGridLayout* grid, int row, QWidget* caption, QWidget* field,
                            int span = 1) {
        grid->addWidget(caption, row, 0);
        grid->addWidget(field, row, 1, 1, span);
    };

    // Race details: three figures, the race point and the liberation time.
    {
        auto* grid = new QGridLayout(Frame1);
        formRow(grid, 0, Label26, txtmember);
        formRow(grid, 1, Label25, txtbirds);
        formRow(grid, 2, Label22, txtwind);
        grid->addWidget(Label33, 0, 2);
        grid->addWidget(racepoint, 0, 3, 1, 2);
        grid->addWidget(Label28, 1, 2);
        grid->addWidget(birdlibhrs, 1, 3);
        grid->addWidget(birdlibmins, 1, 4);
        for (QLineEdit* b : {birdlibhrs, birdlibmins})
            b->setMaximumWidth(44);
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        grid->setColumnStretch(4, 1);
    }
    // Race dates.
    {
        auto* grid = new QGridLayout(Frame7);
        formRow(grid, 0, Label21, DayClockSet);
        formRow(grid, 1, Label27, RaceDay);
        formRow(grid, 2, Label29, DayClockOpen);
        grid->setColumnStretch(0, 1);
    }
    // Hours of darkness.
    {
        auto* row = new QHBoxLayout(Frame8);
        row->addWidget(Label30);
        row->addStretch(1);
        row->addWidget(Label31);
        row->addWidget(HODhr);
        row->addWidget(HODmin);
        row->addSpacing(12);
        row->addWidget(Label32);
        row->addWidget(HOLhr);
        row->addWidget(HOLmin);
        for (QLineEdit* b : {HODhr, HODmin, HOLhr, HOLmin})
            b->setMaximumWidth(36);
    }
    // Master clock details.
    {
        auto* grid = new QGridLayout(Frame3);
        formRow(grid, 0, Label13, mtdetailset);
        formRow(grid, 1, Label17, mtreadset);
        formRow(grid, 2, Label14, mtdetailrake);
        formRow(grid, 3, Label18, mtreadrake);
        grid->setColumnStretch(1, 1);
    }
    // The member and the clock times: a label and a time picker over its
    // three boxes on each row; the bird's row has its date instead of a label.
    {
        auto* grid = new QGridLayout(Frame4);
        grid->addWidget(member, 0, 0, 1, 2);
        formRow(grid, 1, Label7, timeRows_[0]);
        formRow(grid, 2, Label9, timeRows_[1]);
        formRow(grid, 3, Label8, timeRows_[2]);
        formRow(grid, 4, Label10, timeRows_[3]);
        grid->addWidget(Label11, 5, 0, 1, 2);
        formRow(grid, 6, DaybirdClocked, timeRows_[4]);
        grid->setColumnStretch(1, 1);
        for (TimeOverlay* row : timeRows_)
            row->setMinimumWidth(104);
    }
    // The bird.
    {
        auto* grid = new QGridLayout(Frame2);
        formRow(grid, 0, Label19, comcol, 2);
        grid->addWidget(Label20, 1, 0);
        grid->addWidget(Check3, 1, 1);
        grid->addWidget(Check4, 1, 2);
        formRow(grid, 2, Label1, ringno, 2);
        grid->addWidget(Label5, 3, 1);
        grid->addWidget(Label6, 3, 2);
        grid->addWidget(Label2, 4, 0);
        grid->addWidget(Rubin, 4, 1);
        grid->addWidget(Rubout, 4, 2);
        grid->setVerticalSpacing(4);
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(2, 1);
    }
    // Pool and nomination.
    {
        auto* row = new QHBoxLayout(Frame6);
        row->addStretch(1);
        row->addWidget(Check1);
        row->addStretch(1);
        row->addWidget(Check2);
        row->addStretch(1);
    }
    // Comments; the edit frame takes the same place when shown.
    {
        auto* column = new QVBoxLayout(Frame10);
        column->addWidget(txtcomments);
        auto* grid = new QGridLayout(Frame11);
        grid->addWidget(Label37, 0, 0);
        grid->addWidget(birdedit, 0, 1, 1, 3);
        grid->addWidget(Label36, 1, 0);
        grid->addWidget(coledit, 1, 1);
        grid->addWidget(Label38, 1, 2);
        grid->addWidget(sexedit, 1, 3);
        grid->addWidget(Label39, 2, 0);
        grid->addWidget(rubinedit, 2, 1);
        grid->addWidget(Label40, 2, 2);
        grid->addWidget(ruboutedit, 2, 3);
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
        Frame11->hide();
    }
    // Commands: two rows of four.
    {
        auto* grid = new QGridLayout(Frame9);
        grid->addWidget(cmdremove, 0, 0);
        grid->addWidget(CmdClear, 0, 1);
        grid->addWidget(Clubprint, 0, 2);
        grid->addWidget(cmdsave, 0, 3);
        grid->addWidget(Command1, 1, 0);
        grid->addWidget(Command2, 1, 1);
        grid->addWidget(CmdPrint, 1, 2);
        grid->addWidget(cmdopen, 1, 3);
        for (QPushButton* b :
             {cmdremove, CmdClear, Clubprint, cmdsave, Command1, Command2, CmdPrint, cmdopen})
            b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        grid->setHorizontalSpacing(4);
    }
    CmdExit->setMinimumHeight(34);

    // The window: the list across the top, then three columns of frames.
    auto* left = new QVBoxLayout;
    left->addWidget(Frame1);
    left->addWidget(Frame7);
    left->addWidget(Frame8);
    left->addWidget(Frame3);
    left->addStretch(1);
    auto* middle = new QVBoxLayout;
    middle->addWidget(Frame4);
    middle->addWidget(Frame2);
    middle->addWidget(Frame6);
    middle->addStretch(1);
    auto* right = new QVBoxLayout;
    auto* commentPlace = new QGridLayout;
    commentPlace->addWidget(Frame10, 0, 0);
    commentPlace->addWidget(Frame11, 0, 0);
    right->addLayout(commentPlace);
    right->addWidget(Frame9);
    right->addWidget(Picture1, 1);
    right->addWidget(CmdExit);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 53);
    columns->addLayout(middle, 35);
    columns->addLayout(right, 57);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(8, 4, 8, 8);
    window->setSpacing(0);
    window->addWidget(Label12);
    window->addWidget(ListView1, 1);
    window->addSpacing(6);
    window->addLayout(columns);
    ListView1->setMinimumHeight(150);
}

void Pellamy::setTabOrder() {
    // The keyboard order of the controls, by their place in it.
    const std::pair<int, QWidget*> order[] = {
        {1, birdclockhrs},  {2, birdclockmins}, {3, birdclocksecs},  {4, MTSetHr},
        {5, MTSetMin},      {6, MTSetSec},      {7, MTRakeHr},       {8, MTRakeMin},
        {9, MTRakeSec},     {10, CrHr},         {11, CrMin},         {12, CrSec},
        {13, CsHr},         {14, CsMin},        {15, CsSec},         {37, ListView1},
        {41, ringno},       {43, Rubin},        {44, Rubout},        {49, mtdetailset},
        {50, mtdetailrake}, {53, mtreadset},    {54, mtreadrake},    {59, Check2},
        {62, Check1},       {63, Check3},       {64, Check4},        {67, comcol},
        {70, txtwind},      {71, txtbirds},     {72, txtmember},     {73, birdlibsecs},
        {74, birdlibhrs},   {75, birdlibmins},  {80, txtdaterace},   {83, HOLmin},
        {84, HOLhr},        {85, HODmin},       {86, HODhr},         {91, CmdClear},
        {92, cmdopen},      {93, CmdPrint},     {94, txtcopies},     {95, cmdremove},
        {96, cmdsave},      {97, Clubprint},    {98, txtcopies2},    {99, Picture1},
        {101, txtcomments}, {102, CmdExit},     {103, racepoint},    {105, DTPicker4},
        {106, DTPicker5},   {107, DTPicker6},   {108, DTPicker7},    {109, member},
        {110, DTPicker1},   {112, birdedit},    {113, coledit},      {114, sexedit},
        {118, rubinedit},   {120, ruboutedit},  {122, Command1},     {123, Command2},
        {124, midnight},    {125, midnight2},   {126, extraday},     {127, DaybirdClocked},
        {128, txtdateset},  {129, DayClockSet}, {130, DayClockOpen}, {131, RaceDay},
    };
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1].second, order[i].second);
}

Pellamy::Pellamy(const QString& folder, DialogService* dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(folder),
      ownDialogs_(dialogs ? nullptr : std::make_unique<QtDialogService>(this)),
      dialogs_(dialogs ? dialogs : ownDialogs_.get()),
      store_(fileInFolder(folder, QStringLiteral("distances.mdb"))) {
    initCalculatorResources();
    setObjectName(QStringLiteral("Pellamy"));
    setWindowTitle(QString());
    createControls();
    createLayout();
    setTabOrder();
    connectHandlers();
    showStartingTexts();
    resize(995, 675);
    Form_Load();
    startRecovery();
}

Pellamy::~Pellamy() = default;

} // namespace pellamy
