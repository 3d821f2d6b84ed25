// Fuzzes the replay of a race recovery record: what a killed Pellamy left
// is read at the next start, and no record may crash it.
//
//   scripts/fuzz [seconds]
//
// Each input line is given its checksum, so that the replay of appends,
// moves, sets, removals and groups is what gets fuzzed; a line whose
// checksum is wrong is only ever the end of the record.

#include "racefile/recovery.h"

#include <cstddef>
#include <cstdint>

namespace {

QByteArray checked(const QByteArray& body) {
    quint32 hash = 2166136261u; // FNV-1a, as the record's lines carry it
    for (char c : body) {
        hash ^= quint8(c);
        hash *= 16777619u;
    }
    return body + '\t' + QByteArray::number(hash, 16).rightJustified(8, '0') + '\n';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray record = checked("H\tPellamy race recovery 1");
    for (const QByteArray& body : input.split('\n'))
        record += checked(body);
    const pellamy::RecoveredRace race = pellamy::readRecovery(record);
    for (const pellamy::RaceEntryRow& row : race.entries)
        (void)row.columns();
    return 0;
}
