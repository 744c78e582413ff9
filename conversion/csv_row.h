#pragma once

#include <cstddef>
#include <string>

#include "core/movement.h"

namespace ravuvur {

// The CSV row of the current record: the arrival or departure row, or
// nothing for the other kinds. Eleven items, each between double quotes
// with any quote inside doubled, separated by commas, ended by CR LF; bytes
// are written exactly as held (Windows-1252, untrimmed). Items 5 and 6 are
// always where the aircraft came from and went to, with the record's
// station on the local side.

// The most a row can take: 46 bytes of items, each of them a quote that
// doubles, 22 quotes, 10 commas, CR LF.
inline constexpr std::size_t kMaxCsvRowSize = 2 * 46 + 22 + 10 + 2;

// Writes the row at `out`, which has room for kMaxCsvRowSize bytes, and
// returns where it ends.
char* WriteCsvRow(char* out, MovementKind kind, const MovementRecord& record) noexcept;

// The same, appended to a text.
void AppendCsvRow(std::string& out, MovementKind kind, const MovementRecord& record);

}  // namespace ravuvur
