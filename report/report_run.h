#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "conversion/input_file.h"
#include "report/file_reading.h"
#include "report/report_page.h"
#include "report/tally.h"

// A report over any number of movement files: reading them, then writing
// TOTAL-DIARIO.CSV, MOV-POR-HORA.CSV and RELATORIO.HTML into a folder.
namespace report {

inline constexpr std::string_view kDailyCsvName = "TOTAL-DIARIO.CSV";
inline constexpr std::string_view kHourlyCsvName = "MOV-POR-HORA.CSV";
inline constexpr std::string_view kPageName = "RELATORIO.HTML";

// Reads movement files for a report, counting exactly the records a
// conversion of each would process (ReadMovementFile), on a few threads
// when there are several files, every note and count taken in the order
// the files are named. A file named twice, under any name, is counted
// once.
class ReportReader {
 public:
  // Hears each file that is not counted, or counted only in part, as it
  // is met; `counted` tells the two apart.
  using NoteSink = std::function<void(const FileNote& note, bool counted)>;

  explicit ReportReader(NoteSink onNote);

  // Reads each INPUT in turn: a movement file, or a folder's movement
  // files (its entries named *.DAT in any letter case, hidden ones aside,
  // in name order with letter case ignored; subfolders are not entered).
  // A name ending in .DAT is a movement file even when it is a folder, as
  // the name's owner meant it to be one: a conversion refuses it (021).
  void Read(std::span<const std::string> inputs);
  void Read(const std::string& input) { Read(std::span(&input, 1)); }

  const Tally& tally() const noexcept { return tally_; }
  const PageFacts& facts() const noexcept { return facts_; }
  // Every file opened, once each: a report must not be written over one.
  const std::vector<ravuvur::FileIdentity>& inputs() const noexcept { return inputs_; }
  bool AllCounted() const noexcept { return facts_.filesNotCounted.empty(); }

 private:
  // A file to read, or a folder that could not be listed.
  struct Item {
    std::string path;
    std::string listingFailure;  // the folder's, when it could not be listed
  };
  void AddFolder(const std::string& folder, std::vector<Item>& items) const;
  void Take(const Item& item, FileRead& read);
  void Note(const std::string& path, std::string message, bool counted);

  NoteSink onNote_;
  Tally tally_;
  PageFacts facts_;
  std::vector<ravuvur::FileIdentity> inputs_;
  struct IdentityHash {
    std::size_t operator()(const ravuvur::FileIdentity& f) const noexcept {
      return std::hash<std::uint64_t>()(f.inode * 31 + f.device);
    }
  };
  std::unordered_set<ravuvur::FileIdentity, IdentityHash> seen_;
};

// Whether a name is that of a movement file: it ends in .DAT, in any
// letter case.
bool NamedLikeMovementFile(std::string_view path) noexcept;

// Checks, writing nothing, that the three files can be made in `folder`:
// that it exists, is a folder and may be written (or an earlier report's
// files may be). Returns false with `failure` saying why.
bool CanWriteReport(std::string_view folder, std::string& failure);

// Writes the three files into `folder`, through the commit a conversion's
// CSV goes through (durable, an earlier file's permissions kept, nothing
// left behind), all three as one: each is made ready, then written and
// flushed, and only then do they take their places together, so that an
// earlier report is replaced by a whole new one or stays as it was (a
// folder that cannot take them, a name that is one of the inputs, a full
// disk, a signal). Returns false with `failure` (naming the file as the
// log shows names) when they could not be written.
bool WriteReport(std::string_view folder, const ReportReader& read, std::string& failure);

}  // namespace report
