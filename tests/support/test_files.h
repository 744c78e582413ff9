#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/ravuvur.h"

namespace ziz_test {

// A fresh folder under $TMPDIR, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }
  // Names of the entries in the folder, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::string path_;
};

// Paths are UTF-8 on every platform.
void MakeFolder(const std::string& path);
// Names of the entries in a folder, sorted.
std::vector<std::string> EntriesOf(const std::string& folder);

// Makes `path` the working folder for as long as it lives.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& path);
  ~WorkingFolder();
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

 private:
  std::filesystem::path previous_;
};

void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);

// A record line with each field at its column (padded or cut to width);
// columns that no field uses are spaces. Shorter than 57 characters only
// when `length` says so.
struct Record {
  std::string station = "SBJD";
  std::string date = "061226";
  std::string ident = "PRJGA  ";
  std::string c23 = "C172";
  std::string c27 = "V";
  std::string destination;
  std::string departureTime;
  std::string origin;
  std::string arrivalTime;
  std::string c45 = "01";
  std::string c48 = "18";
  std::string flag;
  std::string c54 = "AER1";

  std::string Line() const;
};
Record Departure(std::string destination = "SBKP", std::string time = "0705");
Record Arrival(std::string origin = "SBMT", std::string time = "0742");
Record Crossing();
Record Condition();
Record TouchAndGo();

// A header line announcing `countText` (columns 14-18) for `station`.
std::string Header(std::string_view countText, std::string_view station = "SBJD");
// Header and records joined with CR LF, with a final CR LF.
std::string MovementFile(std::string_view countText, const std::vector<Record>& records);

// The content of a good CSV from an earlier run, which a failed run must
// leave as it is.
inline const std::string kEarlierCsv = "\"earlier\",\"good\",\"csv\"\r\n";

// A module whose log lines all carry the time "12:00:00".
ravuvur::ModuleState FixedClockState();
// The three-digit codes of the log's lines, in order.
std::vector<std::string> Codes(const ravuvur::ProgressLog& log);
// The log's lines without their time text.
std::vector<std::string> Messages(const ravuvur::ProgressLog& log);

}  // namespace ziz_test
