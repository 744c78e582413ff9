#include "report/summary.h"

#include <chrono>

namespace report {
namespace {

std::chrono::sys_days CalendarDay(DayKey day) {
  return std::chrono::year(YearOf(day)) / std::chrono::month(static_cast<unsigned>(MonthOf(day))) /
         std::chrono::day(static_cast<unsigned>(DayOfMonth(day)));
}

}  // namespace

DayKey DayAfter(DayKey day, int days) {
  const std::chrono::year_month_day later(CalendarDay(day) + std::chrono::days(days));
  return static_cast<DayKey>(static_cast<int>(later.year()) * 10000 +
                             static_cast<int>(static_cast<unsigned>(later.month())) * 100 +
                             static_cast<int>(static_cast<unsigned>(later.day())));
}

Summary Summarize(const Tally& tally) {
  Summary s;
  for (const auto& [key, counts] : tally.Days()) {
    if (s.stations.empty() || s.stations.back() != key.station) s.stations.push_back(key.station);
    s.records += counts.Records();
    s.totalMovements += counts.TotalMovements();
    s.totalDepArr += counts.TotalDepArr();
    s.movementsWithUnreadableHour += counts.unreadableHour.Total();
    for (std::size_t hour = 0; hour < counts.hours.size(); ++hour) {
      s.byHour[hour].departures += counts.hours[hour].departures;
      s.byHour[hour].arrivals += counts.hours[hour].arrivals;
    }
    if (key.day == kUnreadableDate) {
      s.recordsWithUnreadableDate += counts.Records();
    } else {
      if (s.firstDay == kUnreadableDate || key.day < s.firstDay) s.firstDay = key.day;
      if (s.lastDay == kUnreadableDate || key.day > s.lastDay) s.lastDay = key.day;
    }
  }

  if (s.firstDay != kUnreadableDate) {
    const auto length = (CalendarDay(s.lastDay) - CalendarDay(s.firstDay)).count() + 1;
    s.movementsByDay.assign(static_cast<std::size_t>(length), 0);
    for (const auto& [key, counts] : tally.Days()) {
      if (key.day == kUnreadableDate) continue;
      const auto index = (CalendarDay(key.day) - CalendarDay(s.firstDay)).count();
      s.movementsByDay[static_cast<std::size_t>(index)] += counts.TotalMovements();
    }
    for (std::size_t index = 0; index < s.movementsByDay.size(); ++index) {
      if (s.movementsByDay[index] > s.busiestDayMovements) {
        s.busiestDayMovements = s.movementsByDay[index];
        s.busiestDay = DayAfter(s.firstDay, static_cast<int>(index));
      }
    }
  }
  for (int hour = 0; hour < kHours; ++hour) {
    const std::int64_t movements = s.byHour[static_cast<std::size_t>(hour)].Total();
    if (movements > s.busiestHourMovements) {
      s.busiestHourMovements = movements;
      s.busiestHour = hour;
    }
  }
  return s;
}

}  // namespace report
