#pragma once
// A race of any size and the race details, for the sheet tests and the sheet benchmarks.

#include "reports/printdocument.h"

#include <QPdfWriter>
#include <QStringList>
#include <QVector>

// Entries already renumbered, in velocity order; columns 0 to 17.
inline QVector<QStringList> sampleRace(int size) {
    QVector<QStringList> entries;
    for (int i = 0; i < size; ++i) {
        const QString velocity = QStringLiteral("%1.%2")
                                     .arg(1500 - i / 10, 4, 10, QChar(u'0'))
                                     .arg(i % 1000, 3, 10, QChar(u'0'));
        // clang-format off
        entries << QStringList{QString::number(i + 1), QStringLiteral("Member %1").arg(i + 1),
            "19-30-02", "19-30-00", "02", "19-00-10", "19-00-00", "06", "11-45-30", "03-45-22",
            velocity, "12", "345", "BB", "C", QStringLiteral("GB06N%1").arg(10000 + i),
            "150-1234", "P"};
        // clang-format on
    }
    return entries;
}

inline pellamy::SheetDetails sampleDetails() {
    pellamy::SheetDetails d;
    d.club = "Rose, Crown and Anchor", d.fed = "North East Federation";
    d.txtmember = "12", d.txtbirds = "150", d.txtwind = "SW";
    d.birdlibhrs = "07", d.birdlibmins = "30", d.racepoint = "Northpoint";
    d.txtdaterace = "24052006", d.txtdateset = "23052006";
    d.mtdetailset = "Master clock 7", d.mtreadset = "19:30:00";
    d.mtdetailrake = "Master clock 8", d.mtreadrake = "19:00:00";
    d.txtcomments = "A fine day";
    return d;
}

// An A4 page at 300 dots an inch with the sheets' margins.
inline void setUpA4(QPdfWriter& pdf, QPageLayout::Orientation orientation) {
    pdf.setResolution(300);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), orientation,
                                  QMarginsF(6.35, 6.35, 6.35, 6.35), QPageLayout::Millimeter));
}
