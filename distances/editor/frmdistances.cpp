#include "frmdistances.h"

#include "distances/migration.h"
#include "distances/sixtieths.h"
#include "platform/fonts.h"
#include "platform/lengthlimit.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pellamy {

namespace {

const char* const kDatabaseFile = "distances.mdb";

} // namespace

frmdistances::frmdistances(const QString& folder, DialogService* dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ownDialogs_(dialogs ? nullptr : std::make_unique<QtDialogService>(this)),
      dialogs_(dialogs ? dialogs : ownDialogs_.get()),
      databasePath_(fileInFolder(folder, QString::fromLatin1(kDatabaseFile))),
      records_(databasePath_) {
    setObjectName(QStringLiteral("frmdistances"));
    setWindowTitle(QStringLiteral("Members Distances"));

    const QFont boxFont = windowFont(QStringLiteral("MS Sans Serif"), 9.75, true);
    const char* captions[] = {"Name:", "Racepoint:", "Miles:", "Yards:"};
    for (int i = 0; i < 4; ++i) {
        lblLabels[i] = new QLabel(QString::fromLatin1(captions[i]), this);
        lblLabels[i]->setObjectName(QStringLiteral("lblLabels(%1)").arg(i));
        lblLabels[i]->setFont(boxFont);
    }
    const int limits[] = {20, 15, 50, 50, 9};
    for (int i = 0; i < 5; ++i) {
        txtFields[i] = new QLineEdit(this);
        limitTyping(txtFields[i], limits[i]);
        txtFields[i]->setFont(boxFont);
    }
    miles = txtFields[2];
    yards = txtFields[3];
    txtFields[0]->setObjectName(QStringLiteral("txtFields(0)"));
    txtFields[1]->setObjectName(QStringLiteral("txtFields(1)"));
    miles->setObjectName(QStringLiteral("miles"));
    yards->setObjectName(QStringLiteral("yards"));
    txtFields[4]->setObjectName(QStringLiteral("txtFields(4)"));
    txtFields[4]->setFont(QFont());
    txtFields[4]->hide();
    for (QLineEdit* box : {miles, yards}) {
        box->setAlignment(Qt::AlignCenter);
        box->setMaximumWidth(90);
    }
    for (int i = 0; i < 2; ++i)
        lblLabels[i]->setBuddy(txtFields[i]);

    const auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdAdd = button("cmdAdd", "&Add");
    cmdDelete = button("cmdDelete", "&Delete");
    cmdUpdate = button("cmdUpdate", "&Update");
    cmdClose = button("cmdClose", "&Close");

    Data1 = new DataControl(this);
    Data1->setObjectName(QStringLiteral("Data1"));

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout;
    window->addLayout(grid, 1);
    window->addWidget(Data1);
    grid->setContentsMargins(12, 10, 12, 8);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->addWidget(lblLabels[0], 0, 0);
    grid->addWidget(txtFields[0], 0, 1, 1, 3);
    grid->addWidget(lblLabels[1], 1, 0);
    grid->addWidget(txtFields[1], 1, 1, 1, 3);
    grid->addWidget(lblLabels[2], 2, 0);
    grid->addWidget(miles, 2, 1);
    grid->addWidget(cmdAdd, 2, 2);
    grid->addWidget(cmdDelete, 2, 3);
    grid->addWidget(lblLabels[3], 3, 0);
    grid->addWidget(yards, 3, 1);
    grid->addWidget(cmdUpdate, 3, 2);
    grid->addWidget(cmdClose, 3, 3);
    grid->setRowStretch(4, 1);
    grid->setColumnStretch(1, 1);

    setTabOrder(txtFields[0], txtFields[1]);
    setTabOrder(txtFields[1], miles);
    setTabOrder(miles, yards);
    setTabOrder(yards, cmdAdd);
    setTabOrder(cmdAdd, cmdDelete);
    setTabOrder(cmdDelete, cmdUpdate);
    setTabOrder(cmdUpdate, cmdClose);

    connect(cmdAdd, &QPushButton::clicked, this, &frmdistances::cmdAdd_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmdistances::cmdDelete_Click);
    connect(cmdUpdate, &QPushButton::clicked, this, &frmdistances::cmdUpdate_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmdistances::cmdClose_Click);
    connect(Data1, &DataControl::moveRequested, this, &frmdistances::Data1_Move);

    resize(353, 183);
    Form_Load();
}

frmdistances::~frmdistances() = default;

void frmdistances::Form_Load() {
    // A club's Access database is brought over the first time it is opened;
    // one that cannot be is reported once, here, and the editor then stays
    // empty as for a missing database.
    const Migration migration = migrateAccessDatabase(databasePath_);
    if (migration.outcome != Migration::Outcome::NotNeeded)
        dialogs_->message(migration.message, QStringLiteral("Pellamy"));
    if (!records_.open()) {
        damaged_ = records_.fault() == DatabaseFault::Damaged;
        if (damaged_) {
            if (firstReportOfDamage(databasePath_))
                dialogs_->message(damagedDatabaseMessage(), QStringLiteral("Pellamy"));
        } else if (migration.outcome != Migration::Outcome::Failed) {
            Data1_Error(records_.error());
        }
    }
    showCurrent();
}

void frmdistances::showCurrent() {
    const DistanceRecord& r = records_.current();
    const QString values[] = {r.name, r.racepoint, r.miles, r.yards, r.sixtieths};
    for (int i = 0; i < 5; ++i)
        txtFields[i]->setText(values[i]);
    Data1_Reposition();
}

DistanceRecord frmdistances::typed() const {
    return {txtFields[0]->text(), txtFields[1]->text(), miles->text(), yards->text(),
            records_.current().sixtieths};
}

bool frmdistances::hasPendingEdits() const {
    const DistanceRecord now = typed();
    const DistanceRecord& stored = records_.current();
    if (records_.isNew() || records_.position() < 0)
        return !(now.name.isEmpty() && now.racepoint.isEmpty() && now.miles.isEmpty() &&
                 now.yards.isEmpty());
    return now.name != stored.name || now.racepoint != stored.racepoint ||
           now.miles != stored.miles || now.yards != stored.yards;
}

QString frmdistances::refusal(DatabaseFault fault, const QString& description,
                              const QString& done) const {
    switch (fault) {
    case DatabaseFault::Damaged:
        return damagedDatabaseMessage();
    case DatabaseFault::ReadOnly:
        return QStringLiteral("distances.mdb cannot be changed: the file, or the folder it is "
                              "in, is read-only. The record has not been %1.")
            .arg(done);
    case DatabaseFault::Busy:
        return QStringLiteral("distances.mdb is in use by another program, so the record has not "
                              "been %1. Please try again in a moment.")
            .arg(done);
    case DatabaseFault::None:
    case DatabaseFault::Other:
        break;
    }
    return QStringLiteral("Data error event hit err:") + description;
}

QString frmdistances::saveTyped() {
    DistanceRecord record = typed();
    const std::optional<QString> sixtieths = sixtiethsText(record.miles, record.yards);
    if (!sixtieths) {
        const bool milesBad = !sixtiethsText(record.miles, QStringLiteral("0"));
        (milesBad ? miles : yards)->setFocus();
        return milesBad ? QStringLiteral("Miles must be a number. The record has not been saved.")
                        : QStringLiteral("Yards must be a number. The record has not been saved.");
    }
    if (damaged_)
        return damagedDatabaseMessage();
    record.sixtieths = *sixtieths;
    txtFields[4]->setText(record.sixtieths);
    switch (records_.save(record)) {
    case WriteOutcome::Done:
        showCurrent();
        return QString();
    case WriteOutcome::Deleted:
        showCurrent();
        return QStringLiteral("This record has been deleted, by another window or another copy of "
                              "Pellamy, since it was shown here, so your change has not been "
                              "saved. The records are now shown as they are stored.");
    case WriteOutcome::Changed:
        showCurrent();
        return QStringLiteral("This record has been changed, by another window or another copy of "
                              "Pellamy, since it was shown here, so your change has not been "
                              "saved. It is now shown as it is stored.");
    case WriteOutcome::Failed:
        break;
    }
    damaged_ = records_.fault() == DatabaseFault::Damaged;
    return refusal(records_.fault(), records_.error(), QStringLiteral("saved"));
}

void frmdistances::say(const QString& message) {
    // The data control's own error report has no title of its own.
    dialogs_->message(message, message.startsWith(QLatin1String("Data error"))
                                   ? QString()
                                   : QStringLiteral("Pellamy"));
}

bool frmdistances::saveTypedOrSay() {
    const QString why = saveTyped();
    if (!why.isEmpty())
        say(why);
    return why.isEmpty();
}

void frmdistances::cmdAdd_Click() {
    if (hasPendingEdits() && !saveTypedOrSay())
        return;
    records_.addNew();
    showCurrent();
    txtFields[0]->setFocus();
}

void frmdistances::cmdDelete_Click() {
    if (records_.position() < 0)
        return;
    if (damaged_) {
        dialogs_->message(damagedDatabaseMessage(), QStringLiteral("Pellamy"));
        return;
    }
    switch (records_.removeCurrent()) {
    case WriteOutcome::Done:
        break;
    case WriteOutcome::Deleted:
        dialogs_->message(QStringLiteral("This record had already been deleted, by another "
                                         "window or another copy of Pellamy. The records are "
                                         "now shown as they are stored."),
                          QStringLiteral("Pellamy"));
        break;
    case WriteOutcome::Changed:
        dialogs_->message(QStringLiteral("This record has been changed, by another window or "
                                         "another copy of Pellamy, since it was shown here, so it "
                                         "has not been deleted. It is now shown as it is stored."),
                          QStringLiteral("Pellamy"));
        break;
    case WriteOutcome::Failed: {
        damaged_ = records_.fault() == DatabaseFault::Damaged;
        say(refusal(records_.fault(), records_.error(), QStringLiteral("deleted")));
        break;
    }
    }
    showCurrent();
}

void frmdistances::cmdUpdate_Click() {
    saveTypedOrSay();
}

void frmdistances::cmdClose_Click() {
    close();
}

void frmdistances::closeWithoutSaving() {
    discardOnClose_ = true;
    close();
}

void frmdistances::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        records_.cancelNew();
        showCurrent();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmdistances::closeEvent(QCloseEvent* event) {
    // Typed changes are kept as moving to another record keeps them. One
    // that cannot be saved is named, and the user chooses whether to close
    // without it: the window never traps the user.
    if (discardOnClose_ || !hasPendingEdits()) {
        event->accept();
        return;
    }
    const QString why = saveTyped();
    if (why.isEmpty() || !hasPendingEdits()) {
        if (!why.isEmpty())
            say(why);
        event->accept();
        return;
    }
    if (dialogs_->askYesNo(why + QStringLiteral("\n\nClose the window without saving it?"),
                           QStringLiteral("Pellamy")))
        event->accept();
    else
        event->ignore();
}

void frmdistances::Data1_Move(DataControl::Move move) {
    const int count = records_.count();
    if (count == 0)
        return;
    const int from = records_.position();
    int to = 0;
    switch (move) {
    case DataControl::Move::First:
        to = 0;
        break;
    case DataControl::Move::Previous:
        to = from < 0 ? 0 : std::max(0, from - 1);
        break;
    case DataControl::Move::Next:
        to = from < 0 ? count - 1 : std::min(count - 1, from + 1);
        break;
    case DataControl::Move::Last:
        to = count - 1;
        break;
    }
    if (hasPendingEdits() && !saveTypedOrSay())
        return;
    if (!records_.moveTo(to))
        Data1_Error(records_.error());
    showCurrent();
}

void frmdistances::Data1_Reposition() {
    Data1->setCaption(QStringLiteral("Record: ") + QString::number(records_.position() + 1));
}

void frmdistances::Data1_Error(const QString& description) {
    dialogs_->message(QStringLiteral("Data error event hit err:") + description, QString());
}

} // namespace pellamy
