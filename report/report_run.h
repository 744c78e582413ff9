#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "conversion/input_file.h"
#include "conversion/movement_file.h"
#include "core/movement.h"
#include "report/report_page.h"
#include "report/tally.h"

// A report over any number of movement files: reading them, then writing
// TOTAL-DIARIO.CSV, MOV-POR-HORA.CSV and RELATORIO.HTML into a folder.
namespace report {

inline constexpr std::string_view kDailyCsvName = "TOTAL-DIARIO.CSV";
inline constexpr std::string_view kHourlyCsvName = "MOV-POR-HORA.CSV";
inline constexpr std::string_view kPageName = "RELATORIO.HTML";

// Reads movement files for a report, counting exactly the records a
// conversion of each would process: the header's count drives the loop,
// a file that ends early counts what it holds (027), and a file a
// conversion would refuse (021: missing, unreadable, a folder, a device;
// 026: a count beyond 16 bits; 028: a read error) counts nothing at all.
// A file named twice, under any name, is read once.
class ReportReader {
 public:
  // Hears each file that is not counted, or counted only in part, as it
  // is met; `counted` tells the two apart.
  using NoteSink = std::function<void(const FileNote& note, bool counted)>;

  explicit ReportReader(NoteSink onNote);

  // Reads one INPUT: a movement file, or a folder's movement files (its
  // entries named *.DAT in any letter case, hidden ones aside, in name
  // order with letter case ignored; subfolders are not entered). A name
  // ending in .DAT is a movement file even when it is a folder, as the
  // name's owner meant it to be one: a conversion refuses it (021).
  void Read(const std::string& input);

  const Tally& tally() const noexcept { return tally_; }
  const PageFacts& facts() const noexcept { return facts_; }
  // Every file opened, once each: a report must not be written over one.
  const std::vector<ravuvur::FileIdentity>& inputs() const noexcept { return inputs_; }
  bool AllCounted() const noexcept { return facts_.filesNotCounted.empty(); }

 private:
  void ReadFolder(const std::string& folder);
  void ReadFile(const std::string& path);
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
  // One file at a time; reused so that the read buffer is made once.
  ravuvur::MovementFile file_{ravuvur::kLastColumnRead};
  Tally fileTally_;
  ravuvur::FileHeader header_;
  ravuvur::MovementRecord record_;
  ravuvur::MovementTallies tallies_;
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
