#include "conversion/run_conversion.h"

#include <charconv>
#include <functional>
#include <new>
#include <optional>
#include <string>

#include "conversion/count_value.h"
#include "conversion/csv_file.h"
#include "conversion/csv_row.h"
#include "conversion/input_file.h"
#include "conversion/movement_file.h"
#include "conversion/output_path.h"
#include "core/text.h"

namespace ravuvur {
namespace {

// A value of a message as text: a text as it is, a number in decimal
// digits. Lives until the end of the statement that makes it, long enough
// to be logged.
class Value {
 public:
  Value(std::string_view text) noexcept : text_(text) {}  // NOLINT: converts on purpose
  Value(int number) noexcept {                            // NOLINT: converts on purpose
    const auto result = std::to_chars(digits_, digits_ + sizeof digits_, number);
    text_ = std::string_view(digits_, static_cast<std::size_t>(result.ptr - digits_));
  }
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;
  operator std::string_view() const noexcept { return text_; }  // NOLINT: converts on purpose

 private:
  char digits_[12] = {};
  std::string_view text_;
};

// Logs messages made of a literal and the values that follow it, straight
// into the log without building the message first.
class Narrator {
 public:
  explicit Narrator(ProgressLog& log) : log_(log) {}

  template <typename... Values>
  void operator()(std::string_view literal, const Values&... values) {
    LogMessage(log_, literal, std::string_view(Value(values))...);
  }

  // The closing statistics, the last lines of every run that had a path.
  void Statistics(const MovementTallies& t, std::string_view countShown) {
    (*this)(msg::k013Departures, t.departures);
    (*this)(msg::k014Arrivals, t.arrivals);
    (*this)(msg::k015Crossings, t.crossings);
    (*this)(msg::k019TouchAndGo, t.touchAndGo);
    (*this)(msg::k016Conditions, t.conditions);
    (*this)(msg::k018TotalMovements, t.totalMovements);
    (*this)(msg::k020TotalDepArr, t.totalDepArr);
    (*this)(msg::k017TotalRecords, countShown);
  }

 private:
  ProgressLog& log_;
};

bool Run(ModuleState& state, std::string_view inputPath, std::string& csvFailure,
         const CsvClaim& claim) {
  ProgressLog& log = state.log;
  MovementTallies& tallies = state.tallies;
  Narrator say(log);
  bool failed = false;
  const auto error = [&](std::string_view literal, const auto&... values) {
    say(literal, values...);
    failed = true;
  };

  tallies.Reset();
  ClearLog(log);
  say(msg::k000Starting);

  // A path of spaces is not empty: it goes on and fails to open.
  if (inputPath.empty()) {
    say(msg::k010NoFile);
    say(msg::k011NotConverted);
    return false;
  }

  // Paths and header fields are shown as the log shows any value: one
  // line, no control characters (see ShownInLog). A path through a short
  // alias is converted, shown and named after its long form.
  const std::string path = LongPath(inputPath);
  const std::string shownPath = ShownInLog(path);
  say(msg::k001Opening, ShownInLog(UpperCase(path)));

  MovementFile input(kLastColumnRead);
  if (!input.Open(path)) error(msg::k021CannotOpenInput, shownPath);

  const std::string csvPath = DeriveCsvPath(path);
  const std::string shownCsvPath = ShownInLog(csvPath);
  if (csvPath.empty()) error(msg::k022CannotDeriveOutput);
  say(msg::k012Output, shownCsvPath);

  // Without an input there is nothing to write, and an earlier CSV of this
  // name must not be replaced by an empty one.
  CsvFile output;
  std::optional<std::string> otherInput;  // whose CSV it is, when another input's
  std::function<bool(const CsvTarget&)> mayWrite;
  if (claim) {
    mayWrite = [&](const CsvTarget& target) {
      otherInput = claim(target);
      return !otherInput;
    };
  }
  if (input.IsOpen() && !csvPath.empty()) {
    switch (output.Create(csvPath, input.Identity(), mayWrite)) {
      case CsvFile::CreateResult::Created: break;
      case CsvFile::CreateResult::SameAsInput: error(msg::k024OutputIsInput, shownCsvPath); break;
      case CsvFile::CreateResult::NotThisRuns:
        error(msg::k030OutputOfAnotherInput, ShownInLog(*otherInput));
        break;
      case CsvFile::CreateResult::CannotCreate:
        error(msg::k023CannotCreateOutput, shownCsvPath);
        csvFailure = output.FailureReason();
        break;
    }
  }

  // The header and then every record, one line at a time; a read that
  // fails leaves it as it was.
  std::string_view lineBuffer;
  bool readFailed = false;
  if (input.IsOpen() && input.ReadLine(lineBuffer) == ReadResult::Error) {
    error(msg::k028CannotReadInput, shownPath);
    readFailed = true;
  }

  FileHeader& header = state.header;
  DecodeHeader(lineBuffer, header);
  const std::string countShown = ShownInLog(Windows1252ToUtf8(header.countText));

  say(msg::k002Header);
  say(msg::k003Station, ShownInLog(Windows1252ToUtf8(header.headerStation)));
  say(msg::k004Movement, shownPath);
  say(msg::k005RecordCount, countShown);
  say(msg::k006Processing);

  // A count beyond 16 bits cannot drive the loop; the file is refused as a
  // whole rather than converted in part.
  const std::optional<std::int16_t> count = CountValue(header.countText);
  if (!count) error(msg::k026CountOutOfRange, countShown);
  const int records = (count && !readFailed) ? *count : 0;
  if (records > 0) {
    // Room for "007 12345 de <count>" per record and the closing lines.
    log.Reserve(static_cast<std::size_t>(records) + 12,
                msg::k007Record.size() + 5 + msg::k007Of.size() + countShown.size());
  }
  for (int i = 1; i <= records; ++i) {
    // An input that did not open left the count text empty: no records.
    const ReadResult read = input.ReadLine(lineBuffer);
    if (read == ReadResult::End) {
      // Fewer lines than announced: keep the rows read so far.
      say(msg::k027EarlyEnd, i, msg::k007Of, countShown);
      break;
    }
    if (read == ReadResult::Error) {
      error(msg::k028CannotReadInput, shownPath);
      break;
    }
    DecodeRecord(lineBuffer, state.record, tallies);
    const MovementKind kindNow = state.record.kind;
    if (output.IsOpen())
      output.Wrote(WriteCsvRow(output.Room(kMaxCsvRowSize), kindNow, state.record));
    say(msg::k007Record, i, msg::k007Of, countShown);
  }

  input.Close();
  bool written = false;
  if (output.IsOpen()) {
    if (failed) {
      output.Discard();
    } else {
      switch (output.Commit()) {
        case CsvFile::CommitResult::Committed: written = true; break;
        case CsvFile::CommitResult::WriteFailed:
          error(msg::k025CannotWriteOutput, shownCsvPath);
          csvFailure = output.FailureReason();
          break;
        case CsvFile::CommitResult::CannotReplace:
          error(msg::k023CannotCreateOutput, shownCsvPath);
          csvFailure = output.FailureReason();
          break;
      }
    }
  }

  tallies.ComputeTotals();
  say(failed ? msg::k011NotConverted : msg::k008Success);
  if (written) say(msg::k009Created, shownCsvPath);
  say.Statistics(tallies, countShown);
  return !failed;
}

}  // namespace

bool RunConversion(ModuleState& state, std::string_view inputPath, std::string* csvFailure,
                   const CsvClaim& claim) {
  bool converted = false;
  std::string failure;
  try {
    converted = Run(state, inputPath, failure, claim);
  } catch (const std::bad_alloc&) {
    // Everything the run held is released by now, the new CSV with it, so
    // an earlier CSV is as it was. Saying so needs little memory; if even
    // that fails, the log ends where it is.
    try {
      Narrator say(state.log);
      say(msg::k029OutOfMemory);
      say(msg::k011NotConverted);
      state.tallies.ComputeTotals();
      say.Statistics(state.tallies, ShownInLog(Windows1252ToUtf8(state.header.countText)));
    } catch (const std::bad_alloc&) {
    }
  }
  state.log.Flush();
  if (csvFailure != nullptr) *csvFailure = std::move(failure);
  return converted;
}

}  // namespace ravuvur
