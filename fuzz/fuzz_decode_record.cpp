// Fuzzes the record decoder and the column rule it rests on: every line
// gets exactly one kind and one counter, and every field and row text
// agrees with a plain second reading of the same columns.

#include <cstdint>
#include <string_view>

#include "conversion/csv_row.h"
#include "core/ravuvur.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/reference_model.h"

using ziz_fuzz::Show;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);

  // FieldAt clips and never pads, for any start and length.
  for (std::size_t start = 0; start <= size + 2; start += 1 + start / 4) {
    for (const std::size_t length :
         {std::size_t{0}, std::size_t{1}, std::size_t{4}, std::size_t{57}}) {
      const std::string_view field = ravuvur::FieldAt(line, start, length);
      const std::size_t from = start == 0 ? 0 : start - 1;
      FUZZ_CHECK(field == ziz_fuzz::Cut(line, from + 1, length), Show(line));
    }
  }

  ravuvur::MovementRecord record;
  ravuvur::MovementTallies tallies;
  ravuvur::DecodeRecord(line, record, tallies);

  const int counters[] = {tallies.departures, tallies.arrivals, tallies.crossings,
                          tallies.conditions, tallies.touchAndGo};
  int sum = 0;
  for (const int c : counters) {
    FUZZ_CHECK(c == 0 || c == 1, Show(line));
    sum += c;
  }
  FUZZ_CHECK(sum == 1, "exactly one counter per record: " + Show(line));

  const ziz_fuzz::ExpectedRecord expected = ziz_fuzz::Expect(line);
  FUZZ_CHECK(ravuvur::KindText(record.kind) == expected.kind, Show(line));
  const char* counted[] = {"DEP", "ARR", "TRV", "CND", "TGL"};
  for (int k = 0; k < 5; ++k) {
    FUZZ_CHECK((counters[k] == 1) == (expected.kind == counted[k]), Show(line));
  }

  // The row, read back as RFC 4180, gives the item texts back exactly.
  std::string row;
  ravuvur::AppendCsvRow(row, record.kind, record);
  std::vector<std::vector<std::string>> rows;
  FUZZ_CHECK(ziz_fuzz::ReadCsv(row, rows), Show(row));
  if (expected.items.empty()) {
    FUZZ_CHECK(rows.empty(), "no row for " + expected.kind);
  } else {
    FUZZ_CHECK(rows.size() == 1 && rows[0].size() == 11, Show(row));
    FUZZ_CHECK(rows[0] == expected.items, Show(line) + " gave " + Show(row));
  }
  return 0;
}
