// Measures the conversion on a full-size movement file (32767 records, the
// most a header can announce): RunConversion in this process, and the
// whole dta2csv process with its log sent to /dev/null. Then checks that a
// single very long line converts in little memory. Prints medians; it is a
// benchmark, not a test, and asserts nothing about time.
//
//   bench_conversion [--runs N] [--long-line-mib M] [--keep DIR]

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/movement_day.h"
#include "bench/spawn.h"
#include "conversion/run_conversion.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

using bench::ProcessRun;

// Runs dta2csv on `input`, its log to /dev/null.
ProcessRun SpawnDta2csv(const std::string& input) { return bench::Spawn({DTA2CSV_PATH, input}); }

}  // namespace

int main(int argc, char** argv) {
  int runs = 31;
  long longLineMib = 1024;
  std::string keep;
  for (int k = 1; k + 1 < argc; k += 2) {
    const std::string option = argv[k];
    if (option == "--runs") runs = std::max(1, std::atoi(argv[k + 1]));
    if (option == "--long-line-mib") longLineMib = std::atol(argv[k + 1]);
    if (option == "--keep") keep = argv[k + 1];
  }

  const std::filesystem::path dir = keep.empty() ? std::filesystem::temp_directory_path() /
                                                       ("ziz-bench-" + std::to_string(::getpid()))
                                                 : std::filesystem::path(keep);
  std::filesystem::create_directories(dir);
  const std::string input = (dir / "MOV32767.DAT").string();
  const std::string data = bench::MovementDay();
  std::ofstream(input, std::ios::binary)
      .write(data.data(), static_cast<std::streamsize>(data.size()));
  const double mb = static_cast<double>(data.size()) / 1e6;

  ravuvur::ModuleState state;
  // Elapsed time, and the processor time of it: the rest is waiting for
  // the disk (the flush before the CSV takes its place).
  std::vector<double> inProcess, inProcessCpu;
  bool ok = true;
  for (int r = 0; r < runs + 1; ++r) {
    const auto start = Clock::now();
    const std::clock_t cpuStart = std::clock();
    ok = ravuvur::RunConversion(state, input) && ok;
    if (r == 0) continue;  // the first run warms the cache
    inProcess.push_back(Ms(Clock::now() - start));
    inProcessCpu.push_back(1e3 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
  }
  const auto& t = state.tallies;
  std::printf("input: %d records, %.2f MB; DEP %d ARR %d TRV %d TGL %d CND %d; log %zu lines; %s\n",
              bench::kDayRecords, mb, t.departures, t.arrivals, t.crossings, t.touchAndGo,
              t.conditions, state.log.size(), ok ? "converted" : "NOT CONVERTED");

  std::vector<double> process, faults, peaks;
  int status = 0;
  for (int r = 0; r < runs; ++r) {
    const ProcessRun run = SpawnDta2csv(input);
    process.push_back(run.ms);
    faults.push_back(static_cast<double>(run.pageFaults));
    peaks.push_back(static_cast<double>(run.peakKib));
    status = run.status;
  }

  const double a = Median(inProcess), b = Median(process);
  std::printf("RunConversion        median %7.2f ms  %7.1f MB/s  (%d runs; processor %.2f ms)\n", a,
              mb / (a / 1e3), runs, Median(inProcessCpu));
  std::printf(
      "dta2csv process      median %7.2f ms  %7.1f MB/s  (%d runs, exit %d; median %.0f page "
      "faults, %.0f KiB peak RSS)\n",
      b, mb / (b / 1e3), runs, status, Median(faults), Median(peaks));

  if (longLineMib > 0) {
    // One line with no terminator, made sparse so it costs no disk: the
    // header text, then zero bytes up to the size asked for.
    const std::string longInput = (dir / "LONGLINE.DAT").string();
    { std::ofstream(longInput, std::ios::binary) << "SBJD DTA0612 00001"; }
    std::filesystem::resize_file(longInput, static_cast<std::uintmax_t>(longLineMib) << 20);
    const ProcessRun run = SpawnDta2csv(longInput);
    std::printf("single %ld MiB line  %7.0f ms  peak RSS %.1f MiB  (exit %d)\n", longLineMib,
                run.ms, static_cast<double>(run.peakKib) / 1024.0, run.status);
    std::filesystem::remove(longInput);
  }
  if (keep.empty()) std::filesystem::remove_all(dir);
  return 0;
}
