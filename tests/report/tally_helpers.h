#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/report_csv.h"
#include "report/tally.h"
#include "tests/support/test_files.h"

// What the reports' tests share: records counted as a reader of movement
// files counts them, and a report's bytes gathered into a text.
namespace ziz_test {

// Counts each record's line.
inline void CountAll(report::Tally& tally, const std::vector<Record>& records) {
  for (const Record& r : records) tally.Count(r.Line());
}

// `r` at another station and date.
inline Record On(Record r, std::string_view station, std::string_view date) {
  r.station = station;
  r.date = date;
  return r;
}

class StringSink : public report::ByteSink {
 public:
  void Write(std::string_view bytes) override { text += bytes; }
  std::string text;
};

}  // namespace ziz_test
