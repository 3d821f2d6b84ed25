// The calculator window: the race's result published from the entry list's
// context menu, for a spreadsheet, the club's web page or the local paper.
#include "pellamy.h"

#include "ui_pellamy.h"

#include "calc/filewrite.h"
#include "calc/textforms.h"
#include "reports/publish.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>

namespace pellamy {

namespace {

const QString kTitle = QStringLiteral("Pellamy");

} // namespace

void Pellamy::ListView1_ContextMenu(const QPoint& at) {
    QMenu menu(this);
    menu.addAction(QStringLiteral("&Copy Result"), this, &Pellamy::copyResult);
    menu.addAction(QStringLiteral("Save Result as C&SV…"), this, &Pellamy::saveResultAsCsv);
    menu.addAction(QStringLiteral("Save Result as &Web Page…"), this,
                   &Pellamy::saveResultAsWebPage);
    menu.exec(ui_->ListView1->viewport()->mapToGlobal(at));
}

bool Pellamy::haveResult() {
    if (entries_.count() > 0)
        return true;
    dialogs_->message(QStringLiteral("There is no result yet: the list of birds is empty."),
                      kTitle);
    return false;
}

void Pellamy::copyResult() {
    if (haveResult())
        QGuiApplication::clipboard()->setText(resultTabText(entries_.rows()));
}

void Pellamy::saveResultAsCsv() {
    if (haveResult())
        savePublished(QStringLiteral("CSV Files (*.csv)"), resultCsv(entries_.rows()));
}

void Pellamy::saveResultAsWebPage() {
    if (!haveResult())
        return;
    // The race date as the sheets print it.
    savePublished(QStringLiteral("Web Pages (*.html *.htm)"),
                  resultWebPage(sheetDetails(), entries_.rows()));
}

void Pellamy::savePublished(const QString& filter, const QByteArray& bytes) {
    const QString path = chooseFileToSave(*dialogs_, filter, kTitle);
    if (path.isEmpty())
        return;
    const FileWrite written = writeWholeFile(path, bytes);
    if (!written.ok())
        dialogs_->message(QStringLiteral("The result was not saved to %1, because %2. Please save "
                                         "it somewhere else.")
                              .arg(QDir::toNativeSeparators(path), written.problem),
                          kTitle);
}

} // namespace pellamy
