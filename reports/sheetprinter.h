#pragma once
// The printer, behind a small interface so that windows can be tested
// without one.

#include "printdocument.h"

#include <QString>

namespace pellamy {

class SheetPrinter {
public:
    virtual ~SheetPrinter() = default;
    // Whether a printer is there to print on.
    virtual bool hasPrinter() const = 0;
    // Prints on the default printer with the document's orientation and
    // copies. False, with the reason, when it fails.
    virtual bool print(const PrintDocument& document, QString& error) = 0;
    // Writes the sheet as a PDF file instead.
    virtual bool printToPdf(const PrintDocument& document, const QString& path, QString& error) = 0;
};

// The system's default printer, and PDF files.
class QtSheetPrinter : public SheetPrinter {
public:
    bool hasPrinter() const override;
    bool print(const PrintDocument& document, QString& error) override;
    bool printToPdf(const PrintDocument& document, const QString& path, QString& error) override;
};

} // namespace pellamy
