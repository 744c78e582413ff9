#include "tests/support/test_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "core/text.h"

namespace ziz_test {
namespace {

// Paths are UTF-8 whatever the platform: on Windows a plain std::string
// would be read in the ANSI code page and lose accented names.
std::filesystem::path PathOf(std::string_view utf8) {
  return std::u8string(utf8.begin(), utf8.end());
}

std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

}  // namespace

TempDir::TempDir() {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const std::filesystem::path folder = base / ("ziz-test." + std::to_string(random()));
    if (std::filesystem::create_directory(folder)) path_ = Utf8Of(folder);
  }
  if (path_.empty()) throw std::runtime_error("cannot create a test folder");
#if defined(_WIN32)
  // Windows upper-cases the whole CSV path. The folder's name in upper case
  // is the same folder there, and lets one expectation hold on both systems.
  path_ = ravuvur::UpperCase(path_);
#endif
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(PathOf(path_), ignored);
}

std::vector<std::string> TempDir::Entries() const { return EntriesOf(path_); }

void MakeFolder(const std::string& path) { std::filesystem::create_directory(PathOf(path)); }

std::vector<std::string> EntriesOf(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(PathOf(folder))) {
    names.push_back(Utf8Of(entry.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

WorkingFolder::WorkingFolder(const std::string& path) : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(PathOf(path));
}

WorkingFolder::~WorkingFolder() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool Exists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(std::filesystem::symlink_status(PathOf(path), ignored));
}

std::string Record::Line() const {
  std::string line(57, ' ');
  const auto put = [&line](std::size_t column, const std::string& text, std::size_t width) {
    line.replace(column - 1, width, (text + std::string(width, ' ')).substr(0, width));
  };
  put(1, station, 4);
  put(10, date, 6);
  put(16, ident, 7);
  put(23, c23, 4);
  put(27, c27, 1);
  put(29, destination, 4);
  put(33, departureTime, 4);
  put(37, origin, 4);
  put(41, arrivalTime, 4);
  put(45, c45, 2);
  put(48, c48, 2);
  put(52, flag, 1);
  put(54, c54, 4);
  return line;
}

Record Departure(std::string destination, std::string time) {
  Record r;
  r.destination = std::move(destination);
  r.departureTime = std::move(time);
  return r;
}

Record Arrival(std::string origin, std::string time) {
  Record r;
  r.origin = std::move(origin);
  r.arrivalTime = std::move(time);
  return r;
}

Record Crossing() {
  Record r;
  r.destination = "SBGR";
  r.departureTime = "0815";
  r.origin = "SBSJ";
  r.arrivalTime = "0810";
  return r;
}

Record Condition() {
  Record r;
  r.ident = r.c23 = r.c27 = r.c45 = r.c48 = "";
  r.c54 = "COND";
  return r;
}

Record TouchAndGo() {
  Record r;
  r.destination = r.origin = "SBJD";
  r.flag = "X";
  return r;
}

std::string Header(std::string_view countText, std::string_view station) {
  std::string header = std::string(station) + " DTA0612 ";
  header.resize(13, ' ');
  return header + std::string(countText);
}

std::string MovementFile(std::string_view countText, const std::vector<Record>& records) {
  std::string text = Header(countText) + "\r\n";
  for (const Record& r : records) text += r.Line() + "\r\n";
  return text;
}

ravuvur::ModuleState FixedClockState() {
  return ravuvur::ModuleState([]() -> std::string_view { return "12:00:00"; });
}

std::vector<std::string> Codes(const ravuvur::ProgressLog& log) {
  std::vector<std::string> codes;
  for (const std::string& m : Messages(log)) codes.push_back(m.substr(0, 3));
  return codes;
}

std::vector<std::string> Messages(const ravuvur::ProgressLog& log) {
  std::vector<std::string> messages;
  for (std::size_t i = 0; i < log.size(); ++i) {
    const std::string_view line = log.Line(i);
    messages.emplace_back(line.substr(line.find(' ') + 1));
  }
  return messages;
}

}  // namespace ziz_test
