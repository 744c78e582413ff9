// The counting behind the reports: which day and hour a record lands on,
// how station-days are grouped, summed and ordered. The classification
// itself is DecodeRecord's, tested with it.

#include <gtest/gtest.h>

#include <vector>

#include "report/summary.h"
#include "report/tally.h"
#include "tests/report/tally_helpers.h"

namespace {

using report::DayKey;
using report::kUnreadableDate;
using report::kUnreadableHour;
using report::Tally;
using ziz_test::CountAll;
using ziz_test::On;
using ziz_test::Record;

struct DateCase {
  const char* digits;
  DayKey day;
};

class DayOfTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(DayOfTest, ReadsSixDigitsAsACalendarDay) {
  EXPECT_EQ(report::DayOf(GetParam().digits), GetParam().day) << GetParam().digits;
}

INSTANTIATE_TEST_SUITE_P(
    Dates, DayOfTest,
    ::testing::Values(DateCase{"061226", 20261206}, DateCase{"010100", 20000101},
                      DateCase{"311299", 20991231}, DateCase{"290224", 20240229},
                      DateCase{"290200", 20000229},  // 2000 is a leap year
                      DateCase{"290226", kUnreadableDate}, DateCase{"300224", kUnreadableDate},
                      DateCase{"310426", kUnreadableDate}, DateCase{"321219", kUnreadableDate},
                      DateCase{"001226", kUnreadableDate}, DateCase{"061326", kUnreadableDate},
                      DateCase{"060026", kUnreadableDate}, DateCase{"0612 6", kUnreadableDate},
                      DateCase{" 61226", kUnreadableDate}, DateCase{"06122", kUnreadableDate},
                      DateCase{"", kUnreadableDate}, DateCase{"06/12/", kUnreadableDate},
                      DateCase{"0a1226", kUnreadableDate}));

struct TimeCase {
  const char* time;
  int hour;
};

class HourOfTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(HourOfTest, ReadsFourDigitsAsAnHourOfTheDay) {
  EXPECT_EQ(report::HourOf(GetParam().time), GetParam().hour) << GetParam().time;
}

INSTANTIATE_TEST_SUITE_P(
    Times, HourOfTest,
    ::testing::Values(TimeCase{"0000", 0}, TimeCase{"0705", 7}, TimeCase{"2359", 23},
                      TimeCase{"2400", kUnreadableHour}, TimeCase{"2360", kUnreadableHour},
                      TimeCase{"0760", kUnreadableHour}, TimeCase{"    ", kUnreadableHour},
                      TimeCase{"7 30", kUnreadableHour}, TimeCase{"073", kUnreadableHour},
                      TimeCase{"07305", kUnreadableHour}, TimeCase{"-130", kUnreadableHour}));

std::vector<std::pair<std::string, DayKey>> Keys(const Tally& tally) {
  std::vector<std::pair<std::string, DayKey>> keys;
  for (const auto& entry : tally.Days()) keys.emplace_back(entry.first.station, entry.first.day);
  return keys;
}

TEST(TallyTest, CountsEachKindOnItsStationDay) {
  Tally tally;
  CountAll(tally,
           {ziz_test::Departure(), ziz_test::Departure(), ziz_test::Arrival(), ziz_test::Crossing(),
            ziz_test::Condition(), ziz_test::TouchAndGo(), ziz_test::TouchAndGo()});
  ASSERT_EQ(tally.Days().size(), 1u);
  const report::DayCounts& c = tally.Days().begin()->second;
  EXPECT_EQ(tally.Days().begin()->first.day, 20261206u);
  EXPECT_EQ((std::vector<std::int64_t>{c.departures, c.arrivals, c.crossings, c.conditions,
                                       c.touchAndGo, c.TotalMovements(), c.TotalDepArr()}),
            (std::vector<std::int64_t>{2, 1, 1, 1, 2, 6, 3}));
}

TEST(TallyTest, ADepartureTakesItsDepartureHourAndAnArrivalItsArrivalHour) {
  Record departure = ziz_test::Departure("SBKP", "0705");
  departure.arrivalTime = "2210";  // not a departure's time
  Record arrival = ziz_test::Arrival("SBMT", "2210");
  arrival.departureTime = "0705";
  Tally tally;
  CountAll(tally, {departure, arrival});
  const report::DayCounts& c = tally.Days().begin()->second;
  EXPECT_EQ(c.hours[7], (report::DepArr{1, 0}));
  EXPECT_EQ(c.hours[22], (report::DepArr{0, 1}));
}

TEST(TallyTest, MovementsWithUnreadableTimesKeepTheirDayButNoHour) {
  Tally tally;
  CountAll(tally, {ziz_test::Departure("SBKP", "2400"), ziz_test::Departure("SBKP", "    "),
                   ziz_test::Arrival("SBMT", "1260")});
  const report::DayCounts& c = tally.Days().begin()->second;
  EXPECT_EQ(c.unreadableHour, (report::DepArr{2, 1}));
  EXPECT_EQ(c.TotalDepArr(), 3);
  for (const report::DepArr& hour : c.hours) EXPECT_EQ(hour.Total(), 0);
}

TEST(TallyTest, RecordsWithUnreadableDatesShareOneRowPerStation) {
  Tally tally;
  CountAll(tally,
           {On(ziz_test::Departure(), "SBJD", "321219"), On(ziz_test::Crossing(), "SBJD", "290226"),
            On(ziz_test::Condition(), "SBJD", ""), On(ziz_test::Arrival(), "SBKP", "0612")});
  EXPECT_EQ(Keys(tally), (std::vector<std::pair<std::string, DayKey>>{{"SBJD", kUnreadableDate},
                                                                      {"SBKP", kUnreadableDate}}));
  EXPECT_EQ(tally.Days().begin()->second.Records(), 3);
}

TEST(TallyTest, RowsAreInStationOrderThenCalendarOrderUnreadableLast) {
  Tally tally;
  CountAll(
      tally,
      {On(ziz_test::Departure(), "SBMT", "010126"), On(ziz_test::Departure(), "SBJD", "xx0126"),
       On(ziz_test::Departure(), "SBJD", "010126"),
       On(ziz_test::Departure(), "SBJD", "311225"),  // the year before
       On(ziz_test::Departure(), "SBJD", "020226"), On(ziz_test::Departure(), "SBJD", "100126"),
       On(ziz_test::Departure(), "sbaa", "010126"),  // lower case after upper
       On(ziz_test::Departure(), "\xC9SBA", "010126"),
       On(ziz_test::Departure(), "SB", "010126")});  // "SB  "
  EXPECT_EQ(Keys(tally), (std::vector<std::pair<std::string, DayKey>>{{"SB  ", 20260101},
                                                                      {"SBJD", 20251231},
                                                                      {"SBJD", 20260101},
                                                                      {"SBJD", 20260110},
                                                                      {"SBJD", 20260202},
                                                                      {"SBJD", kUnreadableDate},
                                                                      {"SBMT", 20260101},
                                                                      {"sbaa", 20260101},
                                                                      {"\xC9SBA", 20260101}}));
}

TEST(TallyTest, TwoFilesForOneStationDayAreSummed) {
  Tally first, second, total;
  CountAll(first, {ziz_test::Departure("SBKP", "0705"), ziz_test::Crossing()});
  CountAll(second, {ziz_test::Departure("SBKP", "0710"), ziz_test::Arrival("SBMT", "0742")});
  total.Add(first);
  total.Add(second);
  ASSERT_EQ(total.Days().size(), 1u);
  const report::DayCounts& c = total.Days().begin()->second;
  EXPECT_EQ(c.hours[7], (report::DepArr{2, 1}));
  EXPECT_EQ(c.TotalMovements(), 4);
}

TEST(TallyTest, CountsGoPastASixteenBitConversionsLimit) {
  // Each file stays within a conversion's 32767 records; their sum does not.
  Tally file, total;
  CountAll(file, std::vector<Record>(1000, ziz_test::Departure()));
  for (int k = 0; k < 40; ++k) total.Add(file);
  EXPECT_EQ(total.Days().begin()->second.departures, 40000);
  EXPECT_EQ(total.Days().begin()->second.hours[7].departures, 40000);
}

TEST(TallyTest, EveryStationDayHasItsTwentyFourHoursAndUnreadableTimesLast) {
  report::DayCounts quiet;  // a day of condition entries only
  std::vector<int> hours;
  report::ForEachHourRow(quiet, [&](int hour, const report::DepArr&) { hours.push_back(hour); });
  ASSERT_EQ(hours.size(), 24u);
  for (int h = 0; h < 24; ++h) EXPECT_EQ(hours[static_cast<std::size_t>(h)], h);

  report::DayCounts late;
  late.unreadableHour.arrivals = 1;
  hours.clear();
  report::ForEachHourRow(late, [&](int hour, const report::DepArr&) { hours.push_back(hour); });
  ASSERT_EQ(hours.size(), 25u);
  EXPECT_EQ(hours.back(), kUnreadableHour);
}

}  // namespace

namespace {

TEST(SummaryTest, DailyTotalsCoverEveryDayOfThePeriodAllStationsSummed) {
  Tally tally;
  CountAll(tally,
           {On(ziz_test::Departure(), "SBJD", "300126"), On(ziz_test::Crossing(), "SBKP", "300126"),
            On(ziz_test::Condition(), "SBKP", "300126"),  // not a movement
            On(ziz_test::Arrival(), "SBKP", "020226"),
            On(ziz_test::Arrival(), "SBKP", "990226")});  // no date: not in the period
  const report::Summary s = report::Summarize(tally);
  EXPECT_EQ(s.firstDay, 20260130u);
  EXPECT_EQ(s.lastDay, 20260202u);
  EXPECT_EQ(s.movementsByDay, (std::vector<std::int64_t>{2, 0, 0, 1}));
  EXPECT_EQ(s.stations, (std::vector<std::string>{"SBJD", "SBKP"}));
  EXPECT_EQ(s.records, 5);
  EXPECT_EQ(s.totalMovements, 4);
  EXPECT_EQ(s.recordsWithUnreadableDate, 1);
}

TEST(SummaryTest, BusiestDayAndHourAreTheEarlierOnATie) {
  Tally tally;
  CountAll(tally, {On(ziz_test::Departure("SBKP", "1500"), "SBJD", "020326"),
                   On(ziz_test::Arrival("SBMT", "0900"), "SBJD", "010326"),
                   On(ziz_test::Departure("SBKP", "2400"), "SBJD", "030326")});
  const report::Summary s = report::Summarize(tally);
  EXPECT_EQ(s.busiestDay, 20260301u);
  EXPECT_EQ(s.busiestDayMovements, 1);
  EXPECT_EQ(s.busiestHour, 9);
  EXPECT_EQ(s.busiestHourMovements, 1);
  EXPECT_EQ(s.movementsWithUnreadableHour, 1);
}

TEST(SummaryTest, NothingReadableLeavesNoPeriodNoBusiestDayOrHour) {
  Tally tally;
  CountAll(tally, {On(ziz_test::Departure("SBKP", "    "), "SBJD", "")});
  const report::Summary s = report::Summarize(tally);
  EXPECT_EQ(s.firstDay, kUnreadableDate);
  EXPECT_TRUE(s.movementsByDay.empty());
  EXPECT_EQ(s.busiestDay, kUnreadableDate);
  EXPECT_EQ(s.busiestHour, kUnreadableHour);
}

TEST(SummaryTest, DaysFollowTheCalendarAcrossMonthsYearsAndLeapDays) {
  EXPECT_EQ(report::DayAfter(20240228, 1), 20240229u);
  EXPECT_EQ(report::DayAfter(20250228, 1), 20250301u);
  EXPECT_EQ(report::DayAfter(20251231, 1), 20260101u);
  EXPECT_EQ(report::DayAfter(20260101, 365), 20270101u);
}

}  // namespace
