#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "report/tally.h"

namespace report {

// What the report's page says about the counts as a whole: its summary
// and the series its two charts draw. Everything here follows from the
// rows of the two CSV files.
struct Summary {
  // The period: the first and the last readable date; kUnreadableDate
  // for both when no record has one.
  DayKey firstDay = kUnreadableDate;
  DayKey lastDay = kUnreadableDate;
  std::vector<std::string> stations;  // raw bytes, in the rows' order

  std::int64_t records = 0;  // every record counted, whatever its kind
  std::int64_t totalMovements = 0;
  std::int64_t totalDepArr = 0;
  std::int64_t recordsWithUnreadableDate = 0;    // on the rows with an empty Data
  std::int64_t movementsWithUnreadableHour = 0;  // on the rows with an empty Hora

  // The day with the most movements, all stations together, and the hour
  // of the day with the most departures and arrivals over the whole
  // counting; the earlier one on a tie. kUnreadableDate / kUnreadableHour
  // when there is none.
  DayKey busiestDay = kUnreadableDate;
  std::int64_t busiestDayMovements = 0;
  int busiestHour = kUnreadableHour;
  std::int64_t busiestHourMovements = 0;

  // Departures and arrivals by hour of the day, every row of MOV POR HORA
  // with a readable Hora summed.
  std::array<DepArr, kHours> byHour{};
  // Total movements of each calendar day from firstDay to lastDay, zeros
  // included, all stations summed.
  std::vector<std::int64_t> movementsByDay;
};

Summary Summarize(const Tally& tally);

// The day `days` days after `day` (a readable one).
DayKey DayAfter(DayKey day, int days);

}  // namespace report
