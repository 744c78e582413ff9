#include "report/report_csv.h"

#include <charconv>
#include <initializer_list>

namespace report {
namespace {

// Windows-1252 bytes, as the movement files and the converter's CSV: the
// é of "Través" is the single byte E9.
constexpr std::string_view kDailyHeader =
    "\"Estacao\",\"Data\",\"Partidas\",\"Chegadas\",\"Trav\xE9s\",\"Cond.Aeroporto\","
    "\"Toque/Arremetid\",\"Total Movimento\",\"Total DEP/ARR\"\r\n";
constexpr std::string_view kHourlyHeader =
    "\"Estacao\",\"Data\",\"Hora\",\"Partidas\",\"Chegadas\",\"Total DEP/ARR\"\r\n";

// One row at a time, written out whole.
class Row {
 public:
  explicit Row(ByteSink& out) : out_(out) {}

  Row& Text(std::string_view item) {
    Open();
    for (const char c : item) {
      bytes_ += c;
      if (c == '"') bytes_ += '"';
    }
    bytes_ += '"';
    return *this;
  }
  Row& Number(std::int64_t value) {
    Open();
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    bytes_.append(digits, result.ptr);
    bytes_ += '"';
    return *this;
  }
  Row& Numbers(std::initializer_list<std::int64_t> values) {
    for (const std::int64_t value : values) Number(value);
    return *this;
  }
  void End() {
    bytes_ += "\r\n";
    out_.Write(bytes_);
    bytes_.clear();
  }

 private:
  void Open() {
    if (!bytes_.empty()) bytes_ += ',';
    bytes_ += '"';
  }

  ByteSink& out_;
  std::string bytes_;
};

}  // namespace

std::string DateText(DayKey day) {
  if (day == kUnreadableDate) return {};
  char text[11];
  const int parts[3] = {DayOfMonth(day), MonthOf(day), YearOf(day)};
  text[0] = static_cast<char>('0' + parts[0] / 10);
  text[1] = static_cast<char>('0' + parts[0] % 10);
  text[2] = '/';
  text[3] = static_cast<char>('0' + parts[1] / 10);
  text[4] = static_cast<char>('0' + parts[1] % 10);
  text[5] = '/';
  std::to_chars(text + 6, text + 10, parts[2]);
  return std::string(text, 10);
}

std::string HourText(int hour) {
  if (hour == kUnreadableHour) return {};
  return {static_cast<char>('0' + hour / 10), static_cast<char>('0' + hour % 10)};
}

void WriteDailyCsv(const Tally& tally, ByteSink& out) {
  out.Write(kDailyHeader);
  Row row(out);
  for (const auto& [key, c] : tally.Days()) {
    row.Text(key.station).Text(DateText(key.day));
    row.Numbers({c.departures, c.arrivals, c.crossings, c.conditions, c.touchAndGo,
                 c.TotalMovements(), c.TotalDepArr()});
    row.End();
  }
}

void WriteHourlyCsv(const Tally& tally, ByteSink& out) {
  out.Write(kHourlyHeader);
  Row row(out);
  for (const auto& [key, counts] : tally.Days()) {
    const std::string& station = key.station;
    const std::string date = DateText(key.day);
    ForEachHourRow(counts, [&](int hour, const DepArr& c) {
      row.Text(station).Text(date).Text(HourText(hour));
      row.Numbers({c.departures, c.arrivals, c.Total()});
      row.End();
    });
  }
}

}  // namespace report
