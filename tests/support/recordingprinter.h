#pragma once
// A printer that keeps the sheets it is given, with or without a printer.

#include "reports/sheetprinter.h"

namespace testsupport {

class RecordingPrinter : public pellamy::SheetPrinter {
public:
    bool available = true;
    QVector<pellamy::PrintDocument> printed;
    QStringList pdfPaths;

    bool hasPrinter() const override { return available; }
    bool print(const pellamy::PrintDocument& document, QString&) override {
        printed << document;
        return true;
    }
    bool printToPdf(const pellamy::PrintDocument& document, const QString& path,
                    QString&) override {
        printed << document;
        pdfPaths << path;
        return true;
    }
};

} // namespace testsupport
