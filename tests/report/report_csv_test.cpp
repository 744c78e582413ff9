// The two reports' CSV files, byte for byte: the converter's encoding,
// the header rows, the edge rows.

#include <gtest/gtest.h>

#include "report/report_csv.h"
#include "tests/report/tally_helpers.h"

namespace {

using report::Tally;
using ziz_test::CountAll;
using ziz_test::StringSink;

std::string Daily(const Tally& tally) {
  StringSink sink;
  report::WriteDailyCsv(tally, sink);
  return sink.text;
}

std::string Hourly(const Tally& tally) {
  StringSink sink;
  report::WriteHourlyCsv(tally, sink);
  return sink.text;
}

constexpr std::string_view kDailyHeader =
    "\"Estacao\",\"Data\",\"Partidas\",\"Chegadas\",\"Trav\xE9s\",\"Cond.Aeroporto\","
    "\"Toque/Arremetid\",\"Total Movimento\",\"Total DEP/ARR\"\r\n";
constexpr std::string_view kHourlyHeader =
    "\"Estacao\",\"Data\",\"Hora\",\"Partidas\",\"Chegadas\",\"Total DEP/ARR\"\r\n";

TEST(ReportCsvTest, DailyRowsAreQuotedWindows1252WithCrLf) {
  Tally tally;
  CountAll(tally, {ziz_test::Departure(), ziz_test::Arrival(), ziz_test::Arrival(),
                   ziz_test::Crossing(), ziz_test::Condition(), ziz_test::TouchAndGo()});
  EXPECT_EQ(Daily(tally),
            std::string(kDailyHeader) +
                "\"SBJD\",\"06/12/2026\",\"1\",\"2\",\"1\",\"1\",\"1\",\"5\",\"3\"\r\n");
}

TEST(ReportCsvTest, EmptyReportHasItsHeaderRowsOnly) {
  const Tally tally;
  EXPECT_EQ(Daily(tally), kDailyHeader);
  EXPECT_EQ(Hourly(tally), kHourlyHeader);
}

TEST(ReportCsvTest, ADayWithoutMovementsStillHasTwentyFourZeroHours) {
  Tally tally;
  CountAll(tally, {ziz_test::Condition()});
  std::string expected(kHourlyHeader);
  for (const char* hour :
       {"00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11",
        "12", "13", "14", "15", "16", "17", "18", "19", "20", "21", "22", "23"}) {
    expected += "\"SBJD\",\"06/12/2026\",\"" + std::string(hour) + "\",\"0\",\"0\",\"0\"\r\n";
  }
  EXPECT_EQ(Hourly(tally), expected);
}

TEST(ReportCsvTest, UnreadableTimesGetARowWithAnEmptyHourAfterTheLast) {
  Tally tally;
  CountAll(tally, {ziz_test::Departure("SBKP", "2400"), ziz_test::Arrival("SBMT", "2310")});
  const std::string text = Hourly(tally);
  EXPECT_TRUE(
      text.ends_with("\"SBJD\",\"06/12/2026\",\"23\",\"0\",\"1\",\"1\"\r\n"
                     "\"SBJD\",\"06/12/2026\",\"\",\"1\",\"0\",\"1\"\r\n"))
      << text;
}

TEST(ReportCsvTest, UnreadableDatesGetAnEmptyDateOnBothFiles) {
  ziz_test::Record departure = ziz_test::Departure("SBKP", "0705");
  departure.date = "321219";
  Tally tally;
  CountAll(tally, {departure});
  EXPECT_EQ(Daily(tally), std::string(kDailyHeader) +
                              "\"SBJD\",\"\",\"1\",\"0\",\"0\",\"0\",\"0\",\"1\",\"1\"\r\n");
  EXPECT_NE(Hourly(tally).find("\"SBJD\",\"\",\"07\",\"1\",\"0\",\"1\"\r\n"), std::string::npos);
}

TEST(ReportCsvTest, AStationCodeKeepsItsBytesWithQuotesDoubled) {
  // Nothing is lost: a spreadsheet reads back exactly the four bytes.
  ziz_test::Record odd = ziz_test::Departure();
  odd.station = "S\"\xE9\x01";
  Tally tally;
  CountAll(tally, {odd});
  EXPECT_TRUE(
      Daily(tally).ends_with("\"S\"\"\xE9\x01\",\"06/12/2026\",\"1\",\"0\",\"0\",\"0\","
                             "\"0\",\"1\",\"1\"\r\n"))
      << Daily(tally);
}

}  // namespace
