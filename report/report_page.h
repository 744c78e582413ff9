#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "report/report_csv.h"
#include "report/summary.h"
#include "report/tally.h"

namespace report {

// A file named among the inputs that was not counted, and why: its name
// and the conversion's message, both as the log shows them.
struct FileNote {
  std::string shownName;
  std::string message;
};

// What the page says of the files read.
struct PageFacts {
  std::int64_t filesCounted = 0;
  std::vector<FileNote> filesNotCounted;
};

// RELATORIO.HTML: one self-contained page in Portuguese, UTF-8, that any
// browser opens offline with no script: the summary, a chart of movements
// by hour of the day (departures and arrivals stacked), a chart of the
// daily totals over the period, and the rows of both CSV files as tables.
// The charts are inline SVG with a title and a description, one <rect>
// per bar. Every text that comes from a file is escaped: a station code
// or a file name can never become markup, and bytes that are not text
// show as the log shows them.
void WritePage(const Tally& tally, const Summary& summary, const PageFacts& facts, ByteSink& out);

// `text` (UTF-8) with &, <, >, " and ' written as character references.
std::string HtmlEscaped(std::string_view text);

// A station code as the page shows it: its Windows-1252 bytes in UTF-8,
// any control or format character quoted as the log quotes it.
std::string ShownStation(std::string_view station);

}  // namespace report
