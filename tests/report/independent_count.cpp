#include "tests/report/independent_count.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <tuple>

#include "fuzz/reference_model.h"

namespace ziz_test {
namespace {

struct Counts {
  long long dep = 0, arr = 0, trv = 0, cnd = 0, tgl = 0;
  std::map<std::string, std::pair<long long, long long>> hours;  // "" for unreadable
};

bool AllDigits(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// (readable, year, month, day) for six digits ddmmyy, or (false, ...).
std::tuple<bool, int, int, int> DateOf(const std::string& digits) {
  if (digits.size() != 6 || !AllDigits(digits)) return {false, 0, 0, 0};
  const int d = std::stoi(digits.substr(0, 2)), m = std::stoi(digits.substr(2, 2)),
            y = 2000 + std::stoi(digits.substr(4, 2));
  const std::chrono::year_month_day date{std::chrono::year(y),
                                         std::chrono::month(static_cast<unsigned>(m)),
                                         std::chrono::day(static_cast<unsigned>(d))};
  if (!date.ok()) return {false, 0, 0, 0};
  return {true, y, m, d};
}

std::string Padded(int value, std::size_t width) {
  std::string text = std::to_string(value);
  return std::string(width - std::min(width, text.size()), '0') + text;
}

std::string HourOf(const std::string& time) {
  if (time.size() != 4 || !AllDigits(time)) return "";
  if (std::stoi(time.substr(0, 2)) > 23 || std::stoi(time.substr(2, 2)) > 59) return "";
  return time.substr(0, 2);
}

}  // namespace

ExpectedReport CountIndependently(const std::vector<std::string>& files) {
  // Ordered by station bytes, then readable days in calendar order, then
  // the unreadable one: (station, unreadable?, year, month, day).
  using Key = std::tuple<std::string, bool, int, int, int>;
  const auto byBytes = [](const Key& a, const Key& b) {
    const std::string& sa = std::get<0>(a);
    const std::string& sb = std::get<0>(b);
    if (sa != sb) {
      return std::lexicographical_compare(
          sa.begin(), sa.end(), sb.begin(), sb.end(), [](char x, char y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
          });
    }
    return a < b;
  };
  std::map<Key, Counts, decltype(byBytes)> days(byBytes);
  for (const std::string& file : files) {
    const std::vector<std::string> lines = ziz_fuzz::SplitLines(file);
    if (lines.empty()) continue;
    const int count = std::stoi(ziz_fuzz::Cut(lines[0], 14, 5));
    for (int i = 1; i <= count && i < static_cast<int>(lines.size()); ++i) {
      const std::string& line = lines[static_cast<std::size_t>(i)];
      const auto [readable, y, m, d] = DateOf(ziz_fuzz::Cut(line, 10, 6));
      Counts& c = days[Key{ziz_fuzz::Cut(line, 1, 4), !readable, y, m, d}];
      const std::string kind = ziz_fuzz::Expect(line).kind;
      if (kind == "DEP") ++c.dep, ++c.hours[HourOf(ziz_fuzz::Cut(line, 33, 4))].first;
      if (kind == "ARR") ++c.arr, ++c.hours[HourOf(ziz_fuzz::Cut(line, 41, 4))].second;
      if (kind == "TRV") ++c.trv;
      if (kind == "CND") ++c.cnd;
      if (kind == "TGL") ++c.tgl;
    }
  }
  ExpectedReport expected;
  expected.daily.push_back({"Estacao", "Data", "Partidas", "Chegadas", "Trav\xE9s",
                            "Cond.Aeroporto", "Toque/Arremetid", "Total Movimento",
                            "Total DEP/ARR"});
  expected.hourly.push_back({"Estacao", "Data", "Hora", "Partidas", "Chegadas", "Total DEP/ARR"});
  const auto text = [](long long n) { return std::to_string(n); };
  for (const auto& [key, c] : days) {
    const auto& [station, unreadable, y, m, d] = key;
    const std::string date =
        unreadable ? "" : Padded(d, 2) + "/" + Padded(m, 2) + "/" + Padded(y, 4);
    expected.daily.push_back({station, date, text(c.dep), text(c.arr), text(c.trv), text(c.cnd),
                              text(c.tgl), text(c.dep + c.arr + c.trv + c.tgl),
                              text(c.dep + c.arr)});
    for (int hour = 0; hour <= 24; ++hour) {
      const std::string hh = hour < 24 ? Padded(hour, 2) : "";
      const auto found = c.hours.find(hh);
      const std::pair<long long, long long> n =
          found == c.hours.end() ? std::pair<long long, long long>{} : found->second;
      if (hour == 24 && n.first + n.second == 0) break;
      expected.hourly.push_back(
          {station, date, hh, text(n.first), text(n.second), text(n.first + n.second)});
    }
  }
  return expected;
}

CsvRows CsvRowsOf(const std::string& text) {
  CsvRows rows;
  EXPECT_TRUE(ziz_fuzz::ReadCsv(text, rows)) << "not a CSV of quoted items and CR LF rows";
  return rows;
}

}  // namespace ziz_test
