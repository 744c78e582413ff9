#pragma once

#include <string>
#include <string_view>

namespace ravuvur {

// The CSV path for an input path: the input without its last four
// characters (whatever they are: ".DAT", ".dta" or four letters of a name
// without a dot), then ".CSV", upper-cased. Where names are case-sensitive
// only the file-name part is upper-cased, so the CSV lands beside the input
// rather than in a folder that may not exist; on Windows the whole path.
// On Windows the dots and spaces that end the name go first, as Windows
// drops them when it opens the file ("mov.dat." gives "MOV.CSV").
// Returns the empty text for an input of fewer than four characters, and
// for one whose last four hold a separator (`/`; on Windows `\`, `/` and a
// drive's `:`), which would put the CSV in another folder.
// "mov.dat" gives "MOV.CSV"; "/dados/mov0612.dat" gives "/dados/MOV0612.CSV".
std::string DeriveCsvPath(std::string_view inputPath);

}  // namespace ravuvur
