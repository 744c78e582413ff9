#include <gtest/gtest.h>

#include "conversion/csv_row.h"
#include "tests/support/test_files.h"

namespace ravuvur {
namespace {

std::string RowFor(const ziz_test::Record& r) {
  MovementRecord record;
  MovementTallies tallies;
  DecodeRecord(r.Line(), record, tallies);
  std::string row;
  AppendCsvRow(row, record.kind, record);
  return row;
}

TEST(CsvRowTest, DepartureRowHasElevenQuotedItemsAndCrLf) {
  ziz_test::Record r = ziz_test::Departure("EFGH", "1435");
  r.station = "ABCD";
  r.date = "061219";
  r.ident = "PTXYZ01";
  r.c23 = "AB12";
  r.c45 = "01";
  r.c48 = "02";
  r.c54 = "0001";
  EXPECT_EQ(RowFor(r),
            R"("06/12/2019","14:35","DEP","PTXYZ01","ABCD","EFGH","AB12","V","01","02","0001")"
            "\r\n");
}

TEST(CsvRowTest, StationIsTheLocalSideOfEachRow) {
  ziz_test::Record arrival = ziz_test::Arrival("ABCD", "0742");
  arrival.station = "WXYZ";
  ziz_test::Record departure = ziz_test::Departure("ABCD", "0800");
  departure.station = "WXYZ";
  EXPECT_EQ(RowFor(arrival).substr(0, 50), R"("06/12/2026","07:42","ARR","PRJGA  ","ABCD","WXYZ")");
  EXPECT_EQ(RowFor(departure).substr(0, 50),
            R"("06/12/2026","08:00","DEP","PRJGA  ","WXYZ","ABCD")");
}

TEST(CsvRowTest, QuotesAreDoubledCommasAndSpacesKept) {
  ziz_test::Record r = ziz_test::Departure();
  r.ident = "P\"X\"Y, ";
  r.c23 = "\"\"  ";
  r.c45 = "1,";
  const std::string row = RowFor(r);
  EXPECT_NE(row.find(R"(,"P""X""Y, ",)"), std::string::npos) << row;
  EXPECT_NE(row.find(R"(,"""""  ","V","1,",)"), std::string::npos) << row;
}

TEST(CsvRowTest, WindowsBytesAreWrittenAsHeld) {
  ziz_test::Record r = ziz_test::Arrival();
  r.c54 = "A\xC9R1";  // É in Windows-1252
  EXPECT_NE(RowFor(r).find("\"A\xC9R1\"\r\n"), std::string::npos);
}

TEST(CsvRowTest, OtherKindsWriteNothing) {
  EXPECT_EQ(RowFor(ziz_test::Crossing()), "");
  EXPECT_EQ(RowFor(ziz_test::Condition()), "");
  EXPECT_EQ(RowFor(ziz_test::TouchAndGo()), "");
}

}  // namespace
}  // namespace ravuvur
