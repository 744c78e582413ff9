#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "core/movement.h"

// The counting behind the two reports, TOTAL DIARIO and MOV POR HORA:
// movements by station, day and hour, over any number of movement files.
// Memory grows with the station-days counted, never with the records.
namespace report {

// A calendar day as one number that sorts in calendar order:
// year * 10000 + month * 100 + day. kUnreadableDate sorts after every day,
// so the row of a station's unreadable dates comes after its days.
using DayKey = std::uint32_t;
inline constexpr DayKey kUnreadableDate = 0xFFFFFFFF;

// The day of a record's six date digits, day, month and two-digit year
// (20yy). kUnreadableDate when they are not six digits or not a calendar
// day (31/04, 29/02 outside leap years, month 13, day 00).
DayKey DayOf(std::string_view dateDigits) noexcept;
constexpr int YearOf(DayKey day) noexcept { return static_cast<int>(day / 10000); }
constexpr int MonthOf(DayKey day) noexcept { return static_cast<int>(day / 100 % 100); }
constexpr int DayOfMonth(DayKey day) noexcept { return static_cast<int>(day % 100); }

// The hour of a time of four digits, hours then minutes: 0 to 23, or
// kUnreadableHour when the time is not four digits, its hour is over 23 or
// its minutes over 59.
inline constexpr int kHours = 24;
inline constexpr int kUnreadableHour = -1;
int HourOf(std::string_view time) noexcept;

// Counts are 64-bit: a conversion's 16-bit limit holds for one file, and a
// report sums any number of them.
struct DepArr {
  std::int64_t departures = 0;
  std::int64_t arrivals = 0;

  std::int64_t Total() const noexcept { return departures + arrivals; }
  bool operator==(const DepArr&) const = default;
};

// What one station recorded on one day, by kind and, for departures and
// arrivals, by hour.
struct DayCounts {
  std::int64_t departures = 0;
  std::int64_t arrivals = 0;
  std::int64_t crossings = 0;
  std::int64_t conditions = 0;
  std::int64_t touchAndGo = 0;
  std::array<DepArr, kHours> hours{};
  DepArr unreadableHour;  // departures and arrivals whose time cannot be read

  // As the log's 018 and 020: conditions are not movements.
  std::int64_t TotalMovements() const noexcept {
    return departures + arrivals + crossings + touchAndGo;
  }
  std::int64_t TotalDepArr() const noexcept { return departures + arrivals; }
  // Every record counted here, whatever its kind.
  std::int64_t Records() const noexcept { return TotalMovements() + conditions; }
  void Add(const DayCounts& other) noexcept;
};

struct StationDay {
  std::string station;  // columns 1-4 of the record, raw Windows-1252 bytes
  DayKey day = kUnreadableDate;

  // Station order (bytes), then calendar order.
  friend bool operator<(const StationDay& a, const StationDay& b) noexcept {
    return a.station != b.station ? a.station < b.station : a.day < b.day;
  }
};

class Tally {
 public:
  Tally() = default;
  Tally(const Tally&) = delete;
  Tally& operator=(const Tally&) = delete;
  // The map's entries move with it, the one remembered last included.
  Tally(Tally&& other) noexcept
      : days_(std::move(other.days_)),
        lastKey_(std::move(other.lastKey_)),
        last_(std::exchange(other.last_, nullptr)),
        lastStation_(other.lastStation_),
        lastDateDigits_(other.lastDateDigits_) {}
  Tally& operator=(Tally&& other) noexcept {
    days_ = std::move(other.days_);
    lastKey_ = std::move(other.lastKey_);
    last_ = std::exchange(other.last_, nullptr);
    lastStation_ = other.lastStation_;
    lastDateDigits_ = other.lastDateDigits_;
    return *this;
  }

  // Counts one record line (without its terminator) on its station-day,
  // classified as a conversion classifies it (ClassifyRecord).
  void Count(std::string_view line);
  // Adds every count of `other` (a file's, once it has been read whole).
  void Add(const Tally& other);
  void Clear() noexcept;

  // One entry per row of TOTAL DIARIO: stations in the order of their
  // bytes, then days in calendar order, the unreadable dates last.
  const std::map<StationDay, DayCounts>& Days() const noexcept { return days_; }

 private:
  DayCounts& At(std::string_view station, std::string_view dateDigits);

  std::map<StationDay, DayCounts> days_;
  // The station-day of the record before, and its station and date
  // digits packed into numbers (see Packed): a file holds mostly one, so
  // most records are told to belong there by two comparisons.
  StationDay lastKey_;
  DayCounts* last_ = nullptr;
  std::uint64_t lastStation_ = 0;
  std::uint64_t lastDateDigits_ = 0;
};

// The rows of MOV POR HORA for one station-day: the 24 hours in order,
// zeros included, so that charts and formulas line up, then a row for
// the unreadable times (hour kUnreadableHour) only when there are any.
template <typename Visit>
void ForEachHourRow(const DayCounts& counts, Visit visit) {
  for (int hour = 0; hour < kHours; ++hour)
    visit(hour, counts.hours[static_cast<std::size_t>(hour)]);
  if (counts.unreadableHour.Total() != 0) visit(kUnreadableHour, counts.unreadableHour);
}

}  // namespace report
