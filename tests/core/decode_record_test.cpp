#include <gtest/gtest.h>

#include "core/ravuvur.h"
#include "tests/support/test_files.h"

namespace ravuvur {
namespace {

using ziz_test::Record;

TEST(FieldAtTest, ClipsAtTheEndOfTheLineAndNeverPads) {
  EXPECT_EQ(FieldAt("ABCDEFG", 1, 4), "ABCD");
  EXPECT_EQ(FieldAt("ABCDEFG", 5, 4), "EFG");
  EXPECT_EQ(FieldAt("ABCDEFG", 7, 1), "G");
  EXPECT_EQ(FieldAt("ABCDEFG", 8, 1), "");
  EXPECT_EQ(FieldAt("", 1, 4), "");
  EXPECT_EQ(FieldAt("AB  ", 1, 4), "AB  ");  // spaces stay
}

// One row per kind and odd case: what DecodeRecord makes of one line.
struct KindCase {
  const char* name;
  std::string line;
  MovementKind kind;
  const char* rowDate;  // expected for DEP/ARR; ignored otherwise
  const char* rowTime;
};

Record WithFlag(Record r, std::string flag) {
  r.flag = std::move(flag);
  return r;
}

Record WithOrigin(Record r, std::string origin) {
  r.origin = std::move(origin);
  return r;
}

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }

class DecodeKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(DecodeKindTest, ClassifiesCountsAndBuildsRowTexts) {
  const KindCase& c = GetParam();
  MovementRecord record;
  MovementTallies tallies;
  DecodeRecord(c.line, record, tallies);

  EXPECT_EQ(record.kind, c.kind);
  const int counted[] = {tallies.departures, tallies.arrivals, tallies.crossings,
                         tallies.conditions, tallies.touchAndGo};
  EXPECT_EQ(counted[0] + counted[1] + counted[2] + counted[3] + counted[4], 1)
      << "exactly one counter per record";
  switch (c.kind) {
    case MovementKind::Departure: EXPECT_EQ(tallies.departures, 1); break;
    case MovementKind::Arrival: EXPECT_EQ(tallies.arrivals, 1); break;
    case MovementKind::Crossing: EXPECT_EQ(tallies.crossings, 1); break;
    case MovementKind::Condition: EXPECT_EQ(tallies.conditions, 1); break;
    case MovementKind::TouchAndGo: EXPECT_EQ(tallies.touchAndGo, 1); break;
    case MovementKind::None: FAIL() << "no kind";
  }
  if (c.kind == MovementKind::Departure || c.kind == MovementKind::Arrival) {
    EXPECT_EQ(record.rowDate(), c.rowDate);
    EXPECT_EQ(record.rowTime(), c.rowTime);
  } else {
    EXPECT_EQ(record.rowDate(), "");
    EXPECT_EQ(record.rowTime(), "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DecodeKindTest,
    ::testing::Values(
        KindCase{"Departure", ziz_test::Departure("SBKP", "0930").Line(), MovementKind::Departure,
                 "06/12/2026", "09:30"},
        KindCase{"Arrival", ziz_test::Arrival("SBMT", "0742").Line(), MovementKind::Arrival,
                 "06/12/2026", "07:42"},
        KindCase{"Crossing", ziz_test::Crossing().Line(), MovementKind::Crossing, "", ""},
        KindCase{"Condition", ziz_test::Condition().Line(), MovementKind::Condition, "", ""},
        KindCase{"FlagWinsOverBothAerodromes", ziz_test::TouchAndGo().Line(),
                 MovementKind::TouchAndGo, "", ""},
        KindCase{"FlagWinsWithNoAerodrome", WithFlag(ziz_test::Condition(), "X").Line(),
                 MovementKind::TouchAndGo, "", ""},
        KindCase{"LowerCaseXIsNotAFlag", WithFlag(ziz_test::Departure(), "x").Line(),
                 MovementKind::Departure, "06/12/2026", "07:05"},
        KindCase{"BlankDestinationWithOriginIsArrival",
                 WithOrigin(ziz_test::Departure("    "), "ABCD").Line(), MovementKind::Arrival,
                 "06/12/2026", "  :  "},
        KindCase{"TabMakesAFieldNonBlank", ziz_test::Departure("\t").Line(),
                 MovementKind::Departure, "06/12/2026", "07:05"},
        KindCase{"EmptyLineIsACondition", "", MovementKind::Condition, "", ""},
        // 30 characters with letters in 29-30: a two-letter destination, no
        // time, so the row time is a lone colon.
        KindCase{"ShortLineIsADepartureWithALoneColon",
                 ziz_test::Departure().Line().substr(0, 28) + "EF", MovementKind::Departure,
                 "06/12/2026", ":"},
        // The separators and "/20" stay whatever the date holds.
        KindCase{"PartialDateKeepsItsSeparators",
                 "SBJD     0612  " + ziz_test::Departure().Line().substr(15),
                 MovementKind::Departure, "06/12/20  ", "07:05"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(DecodeRecordTest, CutsEveryFieldAtItsColumnsKeepingSpaces) {
  Record r = ziz_test::Departure("EFGH", "1435");
  r.station = "ABCD";
  r.date = "061219";
  r.ident = "PTXY   ";
  r.c23 = "AB  ";
  r.c54 = "0001";
  std::string line = r.Line() + "IGNORED PAST COLUMN 57";
  line[4] = line[27] = line[46] = line[49] = line[50] = line[52] = '#';  // unread columns

  MovementRecord record;
  MovementTallies tallies;
  DecodeRecord(line, record, tallies);
  EXPECT_EQ(record.station(), "ABCD");
  EXPECT_EQ(record.dateDigits(), "061219");
  EXPECT_EQ(record.ident(), "PTXY   ");
  EXPECT_EQ(record.c23(), "AB  ");
  EXPECT_EQ(record.c27(), "V");
  EXPECT_EQ(record.destination(), "EFGH");
  EXPECT_EQ(record.departureTime(), "1435");
  EXPECT_EQ(record.origin(), "    ");
  EXPECT_EQ(record.arrivalTime(), "    ");
  EXPECT_EQ(record.c45(), "01");
  EXPECT_EQ(record.c48(), "18");
  EXPECT_EQ(record.touchFlag(), " ");
  EXPECT_EQ(record.c54(), "0001");
  EXPECT_EQ(record.rowDate(), "06/12/2019");
  EXPECT_EQ(record.rowTime(), "14:35");
}

TEST(DecodeRecordTest, ShortLineLeavesTrailingFieldsEmpty) {
  MovementRecord record;
  MovementTallies tallies;
  DecodeRecord(ziz_test::Departure().Line().substr(0, 28) + "EF", record, tallies);
  EXPECT_EQ(record.destination(), "EF");
  for (const std::string_view field :
       {record.departureTime(), record.origin(), record.arrivalTime(), record.c45(), record.c48(),
        record.touchFlag(), record.c54()}) {
    EXPECT_EQ(field, "");
  }
}

TEST(DecodeRecordTest, NonRowKindsKeepThePreviousRowTexts) {
  MovementRecord record;
  MovementTallies tallies;
  DecodeRecord(ziz_test::Departure("SBKP", "0705").Line(), record, tallies);
  DecodeRecord(ziz_test::Crossing().Line(), record, tallies);
  DecodeRecord(ziz_test::TouchAndGo().Line(), record, tallies);
  EXPECT_EQ(record.kind, MovementKind::TouchAndGo);
  EXPECT_EQ(record.rowTime(), "07:05");
  EXPECT_EQ(record.destination(), "SBJD");  // raw fields are all overwritten
}

TEST(MovementTalliesTest, TotalsLeaveConditionsOut) {
  MovementTallies tallies;
  MovementRecord record;
  const auto decode = [&](const Record& r, int times) {
    for (int k = 0; k < times; ++k) DecodeRecord(r.Line(), record, tallies);
  };
  decode(ziz_test::Departure(), 3);
  decode(ziz_test::Arrival(), 2);
  decode(ziz_test::Crossing(), 1);
  decode(ziz_test::Condition(), 4);
  decode(ziz_test::TouchAndGo(), 5);
  tallies.ComputeTotals();
  EXPECT_EQ(tallies.totalMovements, 11);
  EXPECT_EQ(tallies.totalDepArr, 5);
  tallies.Reset();
  EXPECT_EQ(tallies.departures + tallies.touchAndGo + tallies.totalMovements, 0);
}

}  // namespace
}  // namespace ravuvur
