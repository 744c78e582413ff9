// Fuzzes a whole conversion run over arbitrary file content: the input is
// never changed, the log has its fixed shape, the tallies and the CSV agree
// with a plain second reading of the file, the CSV reads back under
// RFC 4180, and nothing but the input and the CSV is left in the folder.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "conversion/count_value.h"
#include "conversion/run_conversion.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/reference_model.h"

using ziz_fuzz::Show;

namespace {

// Made on first use and removed with everything in it when the process
// exits. Never destroyed, so that the removal at exit can still read it.
const std::string& ScratchFolder() {
  static const std::string* const folder = [] {
    const char* base = std::getenv("TMPDIR");
    auto* made = new std::string(std::string(base && *base ? base : "/tmp") + "/ziz-fuzz.XXXXXX");
    if (::mkdtemp(made->data()) == nullptr) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(*folder, ignored);
    });
    return made;
  }();
  return *folder;
}

std::string Slurp(const std::string& path, bool& exists) {
  std::ifstream in(path, std::ios::binary);
  exists = static_cast<bool>(in);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t EntryCount(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                std::filesystem::directory_iterator{}));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string content(reinterpret_cast<const char*>(data), size);
  const std::string input = ScratchFolder() + "/fuzz.dat";
  const std::string csv = ScratchFolder() + "/FUZZ.CSV";
  std::ofstream(input, std::ios::binary | std::ios::trunc) << content;
  ::unlink(csv.c_str());

  ravuvur::ModuleState state([]() -> std::string_view { return "12:00:00"; });
  const bool converted = ravuvur::RunConversion(state, input);

  bool exists = false;
  FUZZ_CHECK(Slurp(input, exists) == content, "the input was changed");

  // What a plain reading of the file expects.
  const std::vector<std::string> lines = ziz_fuzz::SplitLines(content);
  const std::string header = lines.empty() ? "" : lines[0];
  const std::string countText = ziz_fuzz::Cut(header, 14, 5);
  const std::optional<std::int16_t> count = ravuvur::CountValue(countText);
  const std::size_t available = lines.empty() ? 0 : lines.size() - 1;
  const std::size_t announced = count && *count > 0 ? static_cast<std::size_t>(*count) : 0;
  const std::size_t records = std::min(announced, available);
  const bool earlyEnd = announced > available;

  FUZZ_CHECK(converted == count.has_value(), Show(countText));
  FUZZ_CHECK(state.header.countText == countText, Show(header));
  FUZZ_CHECK(state.header.headerStation == ziz_fuzz::Cut(header, 1, 4), Show(header));

  // 18 lines around the records when the run converts (n + 18), one per
  // record read, one more for an early end; a count out of range adds its
  // error line and loses the 009 line.
  const std::size_t expectedLines =
      records + 17 + (converted ? 1 : 0) + (earlyEnd ? 1 : 0) + (count ? 0 : 1);
  FUZZ_CHECK(state.log.size() == expectedLines, std::to_string(state.log.size()) + " lines for " +
                                                    std::to_string(records) + " records");
  for (std::size_t i = 0; i < state.log.size(); ++i) {
    const std::string_view line = state.log.Line(i);
    FUZZ_CHECK(ziz_fuzz::IsValidUtf8(line), Show(line));
    FUZZ_CHECK(!ziz_fuzz::HoldsControlCharacter(line),
               "one line, no terminal control: " + Show(line));
  }

  std::vector<std::vector<std::string>> expectedRows;
  int kinds[5] = {};  // DEP ARR TRV CND TGL
  for (std::size_t i = 1; i <= records; ++i) {
    const ziz_fuzz::ExpectedRecord e = ziz_fuzz::Expect(lines[i]);
    const char* names[] = {"DEP", "ARR", "TRV", "CND", "TGL"};
    for (int k = 0; k < 5; ++k) kinds[k] += e.kind == names[k] ? 1 : 0;
    if (!e.items.empty()) expectedRows.push_back(e.items);
  }
  const auto& t = state.tallies;
  FUZZ_CHECK(t.departures == kinds[0] && t.arrivals == kinds[1] && t.crossings == kinds[2] &&
                 t.conditions == kinds[3] && t.touchAndGo == kinds[4],
             "tallies differ from the records read");

  const std::string written = Slurp(csv, exists);
  FUZZ_CHECK(exists == converted, "a CSV exists exactly when the run converted");
  if (exists) {
    std::vector<std::vector<std::string>> rows;
    FUZZ_CHECK(ziz_fuzz::ReadCsv(written, rows), Show(written));
    FUZZ_CHECK(rows == expectedRows, "CSV rows differ from the records read");
  }
  FUZZ_CHECK(EntryCount(ScratchFolder()) == (exists ? 2u : 1u), "a temporary file was left behind");
  return 0;
}
