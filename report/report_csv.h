#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/tally.h"

// The two reports as CSV files, written as the converter writes its rows,
// so that a spreadsheet opens them alike: Windows-1252 bytes, every item
// between double quotes (a quote inside one doubled), commas, CR LF. Each
// has a header row.
namespace report {

// Where a report's bytes go, a piece at a time.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Write(std::string_view bytes) = 0;
};

// TOTAL-DIARIO.CSV: a row per station-day of `tally`, in its order.
void WriteDailyCsv(const Tally& tally, ByteSink& out);
// MOV-POR-HORA.CSV: the hour rows of each station-day (ForEachHourRow).
void WriteHourlyCsv(const Tally& tally, ByteSink& out);

// The items that are not counts, as both files and the page show them:
// "DD/MM/YYYY" like a conversion's rows, "00" to "23"; empty when
// unreadable.
std::string DateText(DayKey day);
std::string HourText(int hour);

}  // namespace report
