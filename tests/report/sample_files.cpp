#include "tests/report/sample_files.h"

#include <cstdio>
#include <random>
#include <vector>

#include "tests/support/test_files.h"

namespace ziz_test {
namespace {

std::string TwoDigits(int value) {
  return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

int DaysIn(int year, int month) {
  constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && year % 4 == 0 ? 29 : kDays[month - 1];
}

}  // namespace

std::string MonthOfMovements(std::string_view station, int year, int month, unsigned seed,
                             int perDay) {
  std::mt19937 random(seed);
  const char* aerodromes[] = {"SBGR", "SBSP", "SBMT", "SBRP", "SDCO"};
  // How busy each hour is, out of 100: quiet nights, a morning and an
  // evening peak.
  constexpr int kBusy[24] = {2,  1,  1,  1,  2,  8,   30, 70, 95, 80, 60, 55,
                             50, 55, 65, 80, 90, 100, 85, 45, 25, 12, 6,  3};
  std::vector<Record> records;
  for (int day = 1; day <= DaysIn(year, month); ++day) {
    // Five busier days in seven.
    const int today = perDay / 2 + static_cast<int>(random() % static_cast<unsigned>(perDay)) +
                      (day % 7 < 5 ? perDay / 3 : 0);
    for (int k = 0; k < today; ++k) {
      int hour = 0;
      do {
        hour = static_cast<int>(random() % 24);
      } while (static_cast<int>(random() % 100) >= kBusy[hour]);
      const std::string time = TwoDigits(hour) + TwoDigits(static_cast<int>(random() % 60));
      const std::string other = aerodromes[random() % 5];
      const auto roll = random() % 100;
      Record r = roll < 42   ? Departure(other, time)
                 : roll < 84 ? Arrival(other, time)
                 : roll < 90 ? Crossing()
                 : roll < 96 ? TouchAndGo()
                             : Condition();
      r.station = std::string(station);
      r.date = TwoDigits(day) + TwoDigits(month) + TwoDigits(year);
      records.push_back(r);
    }
  }
  char count[6];
  std::snprintf(count, sizeof count, "%05d", static_cast<int>(records.size()));
  std::string text = Header(count, station) + "\r\n";
  for (const Record& r : records) text += r.Line() + "\r\n";
  return text;
}

int WriteSixMonths(const std::string& folder) {
  int records = 0;
  unsigned seed = 2026;
  for (const char* station : {"SBJD", "SBKP"}) {
    for (int month = 1; month <= 3; ++month) {
      const std::string text = MonthOfMovements(station, 2026, month, seed++);
      WriteFile(folder + "/" + station + "-2026-" + TwoDigits(month) + ".DAT", text);
      records += std::stoi(text.substr(13, 5));
    }
  }
  return records;
}

void WriteOddFiles(const std::string& folder) {
  Record badDate = Departure("SBGR", "1010");
  badDate.date = "321225";  // day 32
  Record notLeap = Arrival("SBMT", "1120");
  notLeap.date = "290226";  // 2026 is no leap year
  Record lastDay = Arrival("SBMT", "1120");
  lastDay.date = "310326";
  WriteFile(folder + "/DATA-RUIM.DAT", MovementFile("00003", {badDate, notLeap, lastDay}));

  Record late = Departure("SBGR", "2400");
  late.date = "150226";
  Record blank = Departure("SBGR", "    ");
  blank.date = "150226";
  Record touch = TouchAndGo();
  touch.date = "150226";
  Record condition = Condition();
  condition.date = "150226";
  WriteFile(folder + "/HORA-RUIM.DAT", MovementFile("00004", {late, blank, touch, condition}));

  Record early = Arrival("SBRP", "0645");
  early.station = "SBKP";
  early.date = "010126";
  // Announces ten records and holds two: both are counted.
  WriteFile(folder + "/CURTO.DAT", MovementFile("00010", {early, early}));
  MakeFolder(folder + "/PASTA.DAT");
}

}  // namespace ziz_test
