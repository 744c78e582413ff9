#pragma once

// A second, deliberately plain reading of movement files for the fuzz
// targets to compare the engine against: its own line splitting, column
// cutting and classification, and an RFC 4180 reader for the CSV.

#include <string>
#include <string_view>
#include <vector>

namespace ziz_fuzz {

// Lines as the engine must see them: CR LF, CR or LF end a line; a
// terminator at the very end starts no further line.
std::vector<std::string> SplitLines(std::string_view text);

// Columns [start, start + width) counted from 1, clipped to the line.
std::string Cut(std::string_view line, std::size_t start, std::size_t width);

struct ExpectedRecord {
  std::string kind;                // "TGL", "CND", "TRV", "DEP", "ARR"
  std::vector<std::string> items;  // the CSV row's items; empty for no row
};
ExpectedRecord Expect(std::string_view line);

// Rows of an RFC 4180 file whose rows end in CR LF. False when the text is
// not such a file.
bool ReadCsv(std::string_view text, std::vector<std::vector<std::string>>& rows);

bool IsValidUtf8(std::string_view text);
// Whether UTF-8 `text` holds a C0 or C1 control character or DEL.
bool HoldsControlCharacter(std::string_view text);

}  // namespace ziz_fuzz
