// Fuzzes the race file reader and the writer's round trip.
//
//   scripts/fuzz [seconds]
//
// A file written from what was read must read back as the same entries.

#include "racefile/racefile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const pellamy::RaceFileRead read = pellamy::readRaceFile(bytes);
    for (const pellamy::RaceEntryRow& entry : read.entries)
        if (entry.size() > pellamy::kRaceFileFields)
            std::abort();

    // Fields read have no blanks around them and no comma; a line end inside
    // a field, or a character that is no text (written as a blank, and
    // said), changes the text, so only compare entries that survive as they
    // are. An entry of empty fields alone (the first 39 of a longer line of
    // commas) is written as a line of commas, which is passed over when read
    // back, as a spreadsheet's empty row is: no bird either way. So is one of
    // blanks and tabs (the first 39 fields of a longer line that held more).
    const pellamy::RaceFileWrite written = pellamy::raceFileBytes(read.entries);
    const pellamy::RaceFileRead again = pellamy::readRaceFile(written.bytes);
    if (written.controlEntries.isEmpty() && !bytes.contains('\r') && !bytes.contains('\n') &&
        !read.entries.isEmpty()) {
        bool hasEmptyOnly = false;
        QVector<pellamy::RaceEntryRow> expected;
        for (const pellamy::RaceEntryRow& e : read.entries) {
            hasEmptyOnly = hasEmptyOnly || (e.size() == 1 && e.view(0).isEmpty());
            // Empty fields alone, or fields of blanks and tabs between commas.
            bool empty = true, blanks = e.size() > 1;
            for (int i = 0; i < e.size(); ++i) {
                empty = empty && e.view(i).isEmpty();
                for (QChar c : e.view(i))
                    blanks = blanks && (c == u' ' || c == u'\t');
            }
            if (!empty && !blanks)
                expected.push_back(e);
        }
        if (!hasEmptyOnly && again.entries != expected)
            std::abort();
    }
    return 0;
}
