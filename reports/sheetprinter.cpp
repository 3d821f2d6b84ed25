#include "sheetprinter.h"

#include "renderer.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>

namespace pellamy {

bool QtSheetPrinter::hasPrinter() const {
    return !QPrinterInfo::defaultPrinter().isNull();
}

bool QtSheetPrinter::print(const PrintDocument& document, QString& error) {
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    if (!printer.isValid()) {
        error = QStringLiteral("No printer is available.");
        return false;
    }
    printer.setPageOrientation(document.orientation);
    printer.setCopyCount(document.copies);
    printer.setDocName(QStringLiteral("Pellamy result"));
    if (renderDocument(document, printer).isEmpty() && !document.lines.isEmpty()) {
        error = QStringLiteral("The printer %1 could not be used.").arg(printer.printerName());
        return false;
    }
    return true;
}

bool QtSheetPrinter::printToPdf(const PrintDocument& document, const QString& path,
                                QString& error) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    // Narrow margins, as a printer's own, so that the widest table lines fit.
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), document.orientation,
                                      QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter));
    printer.setDocName(QStringLiteral("Pellamy result"));
    if (renderDocument(document, printer).isEmpty() || !QFileInfo(path).isFile()) {
        error =
            QStringLiteral("The file %1 could not be written.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    return true;
}

} // namespace pellamy
