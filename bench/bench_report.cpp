// Measures dta2csv --report over archives of day files, beside the time
// to only read the same files (read_folder): a year of one busy aerodrome
// (365 files of 2000 records), the same year with a tenth of the records
// (memory must not follow the records), and a small country's year
// (10 000 files of 200 records, 28 aerodromes). Each process is measured
// from outside, the report and the reading in turn (medians of the elapsed
// and of the processor times, every thread's), and once more alone under
// GNU time for its peak memory. A
// benchmark, not a test: it asserts nothing.
//
//   bench_report [--runs N] [--keep DIR]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/movement_day.h"
#include "bench/spawn.h"

namespace {

namespace fs = std::filesystem;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Archive {
  const char* name;
  int files;
  int stations;
  int records;  // in each file
};

// Day `index` from 1 January 2026 as ddmmyy.
std::string Date(int index) {
  using namespace std::chrono;
  const year_month_day day(sys_days(year(2026) / January / 1) + days(index));
  char text[16];
  std::snprintf(text, sizeof text, "%02u%02u%02d", static_cast<unsigned>(day.day()),
                static_cast<unsigned>(day.month()), static_cast<int>(day.year()) % 100);
  return text;
}

// Writes the archive's files into `folder`: file k holds station k mod
// `stations` on day k / `stations`. Returns the bytes written.
std::uintmax_t Write(const Archive& a, const fs::path& folder) {
  fs::create_directories(folder);
  std::uintmax_t bytes = 0;
  for (int k = 0; k < a.files; ++k) {
    char station[16];
    std::snprintf(station, sizeof station, "S%03d", k % a.stations);
    const std::string date = Date(k / a.stations);
    const std::string text =
        bench::MovementDay(a.records, station, date, static_cast<std::uint32_t>(k));
    std::ofstream(folder / (std::string(station) + "-" + date + ".DAT"), std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
    bytes += text.size();
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 11;
  std::string keep;
  for (int k = 1; k + 1 < argc; k += 2) {
    const std::string option = argv[k];
    if (option == "--runs") runs = std::max(1, std::atoi(argv[k + 1]));
    if (option == "--keep") keep = argv[k + 1];
  }
  const fs::path dir =
      keep.empty() ? fs::temp_directory_path() / ("ziz-bench-report-" + std::to_string(::getpid()))
                   : fs::path(keep);
  const Archive archives[] = {{"365 days x 2000 records", 365, 1, 2000},
                              {"365 days x 200 records", 365, 1, 200},
                              {"10000 files x 200 records", 10000, 28, 200}};
  for (const Archive& a : archives) {
    const fs::path folder = dir / (std::to_string(a.files) + "x" + std::to_string(a.records));
    const fs::path out = folder / "relatorio";
    const std::uintmax_t bytes = Write(a, folder / "arquivo");
    fs::create_directories(out);
    const std::vector<std::string> report = {DTA2CSV_PATH, "--report", out.string(),
                                             (folder / "arquivo").string()};
    const std::vector<std::string> read = {READ_FOLDER_PATH, (folder / "arquivo").string()};
    bench::Spawn(report);  // the files in the page cache, for both
    std::vector<double> reportMs, readMs, reportCpu, readCpu;
    int status = 0;
    for (int r = 0; r < runs; ++r) {
      const bench::ProcessRun made = bench::Spawn(report);
      const bench::ProcessRun floor = bench::Spawn(read);
      reportMs.push_back(made.ms);
      readMs.push_back(floor.ms);
      reportCpu.push_back(made.cpuMs);
      readCpu.push_back(floor.cpuMs);
      status = std::max(made.status, floor.status);
    }
    const long reportKib = bench::PeakKibAlone(report);
    const long readKib = bench::PeakKibAlone(read);
    const double made = Median(reportMs), floor = Median(readMs);
    std::printf(
        "%-26s %6.1f MB in, %5.1f MB out: report %8.1f ms (processor %.0f ms), %6.0f KiB peak; "
        "read only %7.1f ms (processor %.0f ms), %5.0f KiB peak; report / read %.2fx%s\n",
        a.name, static_cast<double>(bytes) / 1e6,
        static_cast<double>(fs::file_size(out / "TOTAL-DIARIO.CSV") +
                            fs::file_size(out / "MOV-POR-HORA.CSV") +
                            fs::file_size(out / "RELATORIO.HTML")) /
            1e6,
        made, Median(reportCpu), static_cast<double>(reportKib), floor, Median(readCpu),
        static_cast<double>(readKib), made / floor, status == 0 ? "" : "  (a run FAILED)");
    if (keep.empty()) fs::remove_all(folder);
  }
  if (keep.empty()) fs::remove_all(dir);
  return 0;
}
