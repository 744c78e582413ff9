// Measures the conversion on a full-size movement file (32767 records, the
// most a header can announce): RunConversion in this process, and the
// whole dta2csv process with its log sent to /dev/null. Then checks that a
// single very long line converts in little memory. Prints medians; it is a
// benchmark, not a test, and asserts nothing about time.
//
//   bench_conversion [--runs N] [--long-line-mib M] [--keep DIR]

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "conversion/run_conversion.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRecords = 32767;

// A plausible day at a busy aerodrome: mostly departures and arrivals,
// some circuits (touch-and-go), crossings and condition entries, and a
// remark past column 57 on some lines.
std::string GenerateMovementFile() {
  std::mt19937 random(20261206);
  const char* aerodromes[] = {"SBKP", "SBGR", "SBSP", "SBMT", "SBRP", "SBBP", "SDCO", "SDPW"};
  const char* types[] = {"C172", "PA34", "BE20", "C208", "AS50", "B738", "E195", "A20N"};
  std::string file = "SBJD DTA0612 32767\r\n";
  file.reserve(static_cast<std::size_t>(kRecords) * 80);
  for (int i = 0; i < kRecords; ++i) {
    std::string line(57, ' ');
    const auto put = [&line](std::size_t column, const std::string& text) {
      line.replace(column - 1, text.size(), text);
    };
    char ident[8];
    std::snprintf(ident, sizeof ident, "PR%05d", static_cast<int>(random() % 100000));
    char time[5];
    std::snprintf(time, sizeof time, "%02d%02d", (i / 1400) % 24, static_cast<int>(random() % 60));
    put(1, "SBJD");
    put(10, "061226");
    put(16, ident);
    put(23, types[random() % 8]);
    put(27, random() % 2 ? "V" : "I");
    put(45, "01");
    put(48, "18");
    put(54, "AER1");
    const auto roll = random() % 100;
    const std::string other = aerodromes[random() % 8];
    if (roll < 42) {  // departure
      put(29, other), put(33, time);
    } else if (roll < 84) {  // arrival
      put(37, other), put(41, time);
    } else if (roll < 89) {  // crossing
      put(29, other), put(33, time), put(37, aerodromes[random() % 8]), put(41, time);
    } else if (roll < 97) {  // touch-and-go
      put(29, "SBJD"), put(37, "SBJD"), put(52, "X");
    }  // else a condition entry: no aerodrome at all
    if (random() % 4 == 0) line += "  observacao do operador";
    file += line + "\r\n";
  }
  return file;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Runs dta2csv on `input` with standard output to /dev/null; returns the
// elapsed milliseconds, and the child's peak resident memory in KiB.
double SpawnDta2csv(const std::string& input, long& peakKib, int& status) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  std::string program = DTA2CSV_PATH;
  std::vector<char*> argv = {program.data(), const_cast<char*>(input.c_str()), nullptr};
  const auto start = Clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
    std::perror("posix_spawn");
    std::exit(1);
  }
  int raw = 0;
  rusage usage{};
  ::wait4(pid, &raw, 0, &usage);
  const auto elapsed = Clock::now() - start;
  posix_spawn_file_actions_destroy(&actions);
  peakKib = usage.ru_maxrss;
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return Ms(elapsed);
}

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
  const std::string data = GenerateMovementFile();
  std::ofstream(input, std::ios::binary)
      .write(data.data(), static_cast<std::streamsize>(data.size()));
  const double mb = static_cast<double>(data.size()) / 1e6;

  ravuvur::ModuleState state;
  std::vector<double> inProcess;
  inProcess.reserve(static_cast<std::size_t>(runs));
  bool ok = true;
  for (int r = 0; r < runs + 1; ++r) {
    const auto start = Clock::now();
    ok = ravuvur::RunConversion(state, input) && ok;
    if (r > 0) inProcess.push_back(Ms(Clock::now() - start));  // the first run warms the cache
  }
  const auto& t = state.tallies;
  std::printf("input: %d records, %.2f MB; DEP %d ARR %d TRV %d TGL %d CND %d; log %zu lines; %s\n",
              kRecords, mb, t.departures, t.arrivals, t.crossings, t.touchAndGo, t.conditions,
              state.log.size(), ok ? "converted" : "NOT CONVERTED");

  std::vector<double> process;
  process.reserve(static_cast<std::size_t>(runs));
  long peakKib = 0;
  int status = 0;
  for (int r = 0; r < runs; ++r) process.push_back(SpawnDta2csv(input, peakKib, status));

  const double a = Median(inProcess), b = Median(process);
  std::printf("RunConversion        median %7.2f ms  %7.1f MB/s  (%d runs)\n", a, mb / (a / 1e3),
              runs);
  std::printf(
      "dta2csv process      median %7.2f ms  %7.1f MB/s  (%d runs, exit %d, peak RSS %ld KiB)\n", b,
      mb / (b / 1e3), runs, status, peakKib);

  if (longLineMib > 0) {
    // One line with no terminator, made sparse so it costs no disk: the
    // header text, then zero bytes up to the size asked for.
    const std::string longInput = (dir / "LONGLINE.DAT").string();
    { std::ofstream(longInput, std::ios::binary) << "SBJD DTA0612 00001"; }
    std::filesystem::resize_file(longInput, static_cast<std::uintmax_t>(longLineMib) << 20);
    const double ms = SpawnDta2csv(longInput, peakKib, status);
    std::printf("single %ld MiB line  %7.0f ms  peak RSS %.1f MiB  (exit %d)\n", longLineMib, ms,
                static_cast<double>(peakKib) / 1024.0, status);
    std::filesystem::remove(longInput);
  }
  if (keep.empty()) std::filesystem::remove_all(dir);
  return 0;
}
