#include "racedetails.h"

#include "raceentry.h"
#include "textforms.h"

namespace pellamy {

namespace {

// Columns 18 to 38 in order: a text, or a date read as the date pickers
// hold it.
struct Column {
    QString RaceDetails::*text;
    QDateTime RaceDetails::*date;
};
using D = RaceDetails;
const Column kColumns[] = {
    {&D::txtmember, nullptr},   {&D::txtbirds, nullptr},     {&D::txtwind, nullptr},
    {nullptr, &D::DayClockSet}, {nullptr, &D::RaceDay},      {&D::birdlibhrs, nullptr},
    {&D::birdlibmins, nullptr}, {&D::racepoint, nullptr},    {&D::midnight, nullptr},
    {&D::midnight2, nullptr},   {&D::HODhr, nullptr},        {&D::HODmin, nullptr},
    {&D::HOLhr, nullptr},       {&D::HOLmin, nullptr},       {&D::mtdetailset, nullptr},
    {&D::mtreadset, nullptr},   {&D::mtdetailrake, nullptr}, {&D::mtreadrake, nullptr},
    {&D::txtcomments, nullptr}, {nullptr, &D::DayClockOpen}, {nullptr, &D::DaybirdClocked},
};
static_assert(std::size(kColumns) == kColumnCount - Col::Members);

} // namespace

QStringList RaceDetails::columns() const {
    QStringList out;
    out.reserve(int(std::size(kColumns)));
    for (const Column& c : kColumns)
        out << (c.text ? this->*c.text : dateText(this->*c.date));
    return out;
}

int readRaceDetails(const QStringList& entry, RaceDetails& details,
                    const std::function<bool(int column, const QDateTime& date)>& takes) {
    int read = 0;
    for (const Column& c : kColumns) {
        const int column = Col::Members + read;
        if (column >= entry.size())
            break;
        if (c.text) {
            details.*c.text = entry[column];
            // The liberation time as the calculation writes it: a spreadsheet
            // that saved the file again gives "8" for "08", and the sheets
            // would print it "at 80".
            if ((column == Col::LibHour || column == Col::LibMinute) && entry[column].size() == 1 &&
                entry[column][0].isDigit())
                (details.*c.text).prepend(u'0');
        } else {
            const std::optional<QDateTime> date = readDateText(entry[column]);
            if (!date || !takes(column, *date))
                break;
            details.*c.date = *date;
        }
        ++read;
    }
    return read;
}

} // namespace pellamy
