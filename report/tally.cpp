#include "report/tally.h"

#include <cstring>

namespace report {
namespace {

// The value of two decimal digits at `at`, or -1.
int TwoDigits(std::string_view text, std::size_t at) noexcept {
  const char tens = text[at];
  const char units = text[at + 1];
  if (tens < '0' || tens > '9' || units < '0' || units > '9') return -1;
  return (tens - '0') * 10 + (units - '0');
}

bool IsLeapYear(int year) noexcept { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int month, int year) noexcept {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Up to seven bytes and their number as one number: two fields are the
// same exactly when their numbers are. A field of its full width (a
// station's four bytes, a date's six), as nearly every one is, is copied
// whole.
std::uint64_t Packed(std::string_view field) noexcept {
  // Loaded in pieces of their own width, each into a register of that
  // width: bytes gathered in memory and loaded as one number stall the
  // processor on every record.
  std::uint64_t bytes = 0;
  std::uint32_t first4 = 0;
  std::uint16_t next2 = 0;
  if (field.size() == 4) {
    std::memcpy(&first4, field.data(), 4);
    bytes = first4;
  } else if (field.size() == 6) {
    std::memcpy(&first4, field.data(), 4);
    std::memcpy(&next2, field.data() + 4, 2);
    bytes = first4 | std::uint64_t{next2} << 32;
  } else {
    for (std::size_t k = 0; k < field.size() && k < 7; ++k) {
      bytes |= std::uint64_t{static_cast<unsigned char>(field[k])} << (8 * k);
    }
  }
  return bytes << 8 | field.size();
}

}  // namespace

DayKey DayOf(std::string_view dateDigits) noexcept {
  if (dateDigits.size() != 6) return kUnreadableDate;
  const int day = TwoDigits(dateDigits, 0);
  const int month = TwoDigits(dateDigits, 2);
  const int shortYear = TwoDigits(dateDigits, 4);
  if (day < 1 || month < 1 || month > 12 || shortYear < 0) return kUnreadableDate;
  const int year = 2000 + shortYear;
  if (day > DaysInMonth(month, year)) return kUnreadableDate;
  return static_cast<DayKey>(year * 10000 + month * 100 + day);
}

int HourOf(std::string_view time) noexcept {
  if (time.size() != 4) return kUnreadableHour;
  const int hour = TwoDigits(time, 0);
  const int minutes = TwoDigits(time, 2);
  if (hour < 0 || hour > 23 || minutes < 0 || minutes > 59) return kUnreadableHour;
  return hour;
}

void DayCounts::Add(const DayCounts& other) noexcept {
  departures += other.departures;
  arrivals += other.arrivals;
  crossings += other.crossings;
  conditions += other.conditions;
  touchAndGo += other.touchAndGo;
  for (std::size_t hour = 0; hour < hours.size(); ++hour) {
    hours[hour].departures += other.hours[hour].departures;
    hours[hour].arrivals += other.hours[hour].arrivals;
  }
  unreadableHour.departures += other.unreadableHour.departures;
  unreadableHour.arrivals += other.unreadableHour.arrivals;
}

DayCounts& Tally::At(std::string_view station, std::string_view dateDigits) {
  static_assert(ravuvur::kStation.width <= 7 && ravuvur::kDateDigits.width <= 7);
  const std::uint64_t packedStation = Packed(station);
  const std::uint64_t packedDate = Packed(dateDigits);
  if (last_ == nullptr || packedStation != lastStation_ || packedDate != lastDateDigits_) {
    lastStation_ = packedStation;
    lastDateDigits_ = packedDate;
    lastKey_.station.assign(station);
    lastKey_.day = DayOf(dateDigits);
    last_ = &days_[lastKey_];
  }
  return *last_;
}

void Tally::Count(std::string_view line) {
  using ravuvur::MovementKind;
  const auto field = [line](ravuvur::Columns columns) {
    return ravuvur::FieldAt(line, columns.start, columns.width);
  };
  DayCounts& counts = At(field(ravuvur::kStation), field(ravuvur::kDateDigits));
  // The hour of a departure is its departure time's, of an arrival its
  // arrival time's, as in the rows of a conversion.
  const auto countHour = [&counts](std::string_view time, std::int64_t DepArr::*which) {
    const int hour = HourOf(time);
    DepArr* slot = hour == kUnreadableHour ? &counts.unreadableHour
                                           : &counts.hours[static_cast<std::size_t>(hour)];
    ++(slot->*which);
  };
  switch (ravuvur::ClassifyRecord(line)) {
    case MovementKind::Departure:
      ++counts.departures;
      countHour(field(ravuvur::kDepartureTime), &DepArr::departures);
      break;
    case MovementKind::Arrival:
      ++counts.arrivals;
      countHour(field(ravuvur::kArrivalTime), &DepArr::arrivals);
      break;
    case MovementKind::Crossing: ++counts.crossings; break;
    case MovementKind::Condition: ++counts.conditions; break;
    case MovementKind::TouchAndGo: ++counts.touchAndGo; break;
    case MovementKind::None: break;
  }
}

void Tally::Add(const Tally& other) {
  for (const auto& [key, counts] : other.days_) days_[key].Add(counts);
}

void Tally::Clear() noexcept {
  days_.clear();
  last_ = nullptr;
}

}  // namespace report
