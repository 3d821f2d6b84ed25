#include "sheetprinter.h"

#include "renderer.h"

#include "calc/filewrite.h"

#include <QBuffer>
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

#ifdef __GLIBC__
#include <clocale>
#include <cstdint>
#include <langinfo.h>
#endif

namespace pellamy {

namespace {

// The default printer; without one, the only printer installed (on Linux a
// printer added or found on the network is often not made the default).
QPrinterInfo printerToUse() {
    const QPrinterInfo chosen = QPrinterInfo::defaultPrinter();
    if (!chosen.isNull())
        return chosen;
    const QStringList names = QPrinterInfo::availablePrinterNames();
    return names.size() == 1 ? QPrinterInfo::printerInfo(names.first()) : QPrinterInfo();
}

// The paper of the desktop this runs on.
QPageSize::PageSizeId pdfPaperHere() {
    QString paperLocale;
    int widthMm = 0;
#ifdef __GLIBC__
    if (const char* name = std::setlocale(LC_PAPER, nullptr)) {
        paperLocale = QString::fromLatin1(name);
        widthMm = int(reinterpret_cast<std::intptr_t>(nl_langinfo(_NL_PAPER_WIDTH)));
    }
#endif
    return pdfPaper(paperLocale, widthMm, QLocale::system().territory());
}

// The wait cursor while a sheet is drawn: a federation's race of 20,000
// birds takes over a second, on the window's own time.
class Drawing {
public:
    Drawing() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~Drawing() { QGuiApplication::restoreOverrideCursor(); }
    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;
};

// The document drawn on a printer or PDF writer; the lines drawn.
QVector<RenderedLine> draw(const PrintDocument& document, QPagedPaintDevice& device) {
    const Drawing drawing;
    return renderDocument(document, device);
}

} // namespace

bool QtSheetPrinter::hasPrinter() const {
    return !printerToUse().isNull();
}

QString QtSheetPrinter::noPrinterReason() const {
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (names.size() > 1)
        return QStringLiteral("None of the printers (%1) is set as the default printer.")
            .arg(names.join(QStringLiteral(", ")));
    return SheetPrinter::noPrinterReason();
}

bool QtSheetPrinter::print(const PrintDocument& document, QString& error) {
    QPrinter printer(printerToUse(), QPrinter::HighResolution);
    if (!printer.isValid()) {
        error = QStringLiteral("no printer is available.");
        return false;
    }
    printer.setPageOrientation(document.orientation);
    printer.setCopyCount(document.copies);
    printer.setDocName(QStringLiteral("Pellamy result"));
    if (draw(document, printer).isEmpty() && !document.lines.isEmpty()) {
        error = QStringLiteral("the printer %1 could not be used. Please check that it is "
                               "switched on and ready, or make another printer the default.")
                    .arg(printer.printerName());
        return false;
    }
    return true;
}

bool QtSheetPrinter::printToPdf(const PrintDocument& document, const QString& path,
                                QString& error) {
    // Drawn in memory first and written whole: a full disk or a pulled stick
    // leaves the earlier file of that name as it was, and is said.
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    bool drawn = false;
    {
        QPdfWriter pdf(&bytes); // 1,200 dots an inch, as a printer's high resolution
        // Narrow margins, as a printer's own, so that the widest table lines fit.
        pdf.setPageLayout(QPageLayout(QPageSize(pdfPaperHere()), document.orientation,
                                      QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter));
        pdf.setTitle(QStringLiteral("Pellamy result"));
        drawn = !draw(document, pdf).isEmpty();
    }
    const FileWrite written = drawn ? writeWholeFile(path, bytes.data()) : FileWrite{};
    if (!written.ok()) {
        error = QStringLiteral("%1 could not be written, because %2.")
                    .arg(QDir::toNativeSeparators(path),
                         drawn ? written.problem : QStringLiteral("the sheet could not be drawn"));
        return false;
    }
    return true;
}

QPageSize::PageSizeId pdfPaper(const QString& paperLocale, int paperWidthMm,
                               QLocale::Territory territory) {
    // The C locale's paper is A4 whatever the country: a setting not made.
    const bool set = !paperLocale.isEmpty() && paperLocale != QLatin1String("POSIX") &&
                     paperLocale != QLatin1String("C") &&
                     !paperLocale.startsWith(QLatin1String("C."));
    if (set)
        return paperWidthMm == 216 ? QPageSize::Letter : QPageSize::A4;
    // Not QLocale's measurement system, which counts Canada metric.
    static const QLocale::Territory letter[] = {
        QLocale::UnitedStates, QLocale::Canada,           QLocale::Mexico,    QLocale::Philippines,
        QLocale::Chile,        QLocale::Colombia,         QLocale::Venezuela, QLocale::PuertoRico,
        QLocale::Guatemala,    QLocale::CostaRica,        QLocale::Panama,    QLocale::ElSalvador,
        QLocale::Nicaragua,    QLocale::DominicanRepublic};
    return std::find(std::begin(letter), std::end(letter), territory) != std::end(letter)
               ? QPageSize::Letter
               : QPageSize::A4;
}

QString printOrSavePdf(SheetPrinter& printer, const PrintDocument& document,
                       const std::function<bool(const QString&)>& askYesNo,
                       const std::function<QString()>& choosePdfPath) {
    QString error;
    if (printer.hasPrinter())
        return printer.print(document, error)
                   ? QString()
                   : QStringLiteral("The sheet was not printed: %1").arg(error);
    // No printer: the sheet can still be had as a PDF file.
    // The copies asked for are not in the file: said, or the count is lost.
    const QString copies =
        document.copies > 1
            ? QStringLiteral(" (The file holds one copy: print it %1 times for the %1 copies.)")
                  .arg(document.copies)
            : QString();
    if (!askYesNo(printer.noPrinterReason() + copies +
                  QStringLiteral(" Would you like to save the sheet as a PDF file instead?")))
        return QString();
    const QString path = choosePdfPath();
    if (path.isEmpty() || printer.printToPdf(document, path, error))
        return QString();
    return QStringLiteral("The sheet was not saved: %1").arg(error);
}

} // namespace pellamy
