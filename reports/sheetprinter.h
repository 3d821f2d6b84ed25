#pragma once
// The printer, behind a small interface so that windows can be tested
// without one.

#include "printdocument.h"

#include <QLocale>
#include <QPageSize>
#include <QString>

#include <functional>

namespace pellamy {

class SheetPrinter {
public:
    virtual ~SheetPrinter() = default;
    // Whether a printer is there to print on.
    virtual bool hasPrinter() const = 0;
    // Why not, in one sentence.
    virtual QString noPrinterReason() const { return QStringLiteral("No printer is available."); }
    // Prints on the default printer with the document's orientation and
    // copies. False, with the reason, when it fails.
    virtual bool print(const PrintDocument& document, QString& error) = 0;
    // Writes the sheet as a PDF file instead.
    virtual bool printToPdf(const PrintDocument& document, const QString& path, QString& error) = 0;
};

// Prints a sheet on the printer or, when there is none, offers it as a PDF
// file: askYesNo puts the question, choosePdfPath names the file (empty:
// given up). Gives what to tell the user when it failed; empty when it was
// printed or saved, or the user declined.
QString printOrSavePdf(SheetPrinter& printer, const PrintDocument& document,
                       const std::function<bool(const QString&)>& askYesNo,
                       const std::function<QString()>& choosePdfPath);

// The paper a sheet saved as a PDF is laid out on: the desktop's own paper
// setting where one is made (on Linux LC_PAPER, given by its locale's name
// and its paper's width in millimetres), otherwise the country's: Letter in
// North and Central America and the Philippines, A4 elsewhere.
QPageSize::PageSizeId pdfPaper(const QString& paperLocale, int paperWidthMm,
                               QLocale::Territory territory);

// The system's default printer, and PDF files.
class QtSheetPrinter : public SheetPrinter {
public:
    bool hasPrinter() const override;
    QString noPrinterReason() const override;
    bool print(const PrintDocument& document, QString& error) override;
    bool printToPdf(const PrintDocument& document, const QString& path, QString& error) override;
};

} // namespace pellamy
