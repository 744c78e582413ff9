#pragma once

#include <string>

#include "core/movement.h"

namespace ravuvur {

// Appends the CSV row of the current record to `out`: the arrival or
// departure row, or nothing for the other kinds. Eleven items, each between
// double quotes with any quote inside doubled, separated by commas, ended
// by CR LF; bytes are written exactly as held (Windows-1252, untrimmed).
// Items 5 and 6 are always where the aircraft came from and went to, with
// the record's station on the local side.
void AppendCsvRow(std::string& out, MovementKind kind, const MovementRecord& record);

}  // namespace ravuvur
