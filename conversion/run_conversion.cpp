#include "conversion/run_conversion.h"

#include <charconv>
#include <optional>
#include <string>

#include "conversion/count_value.h"
#include "conversion/csv_file.h"
#include "conversion/csv_row.h"
#include "conversion/movement_file.h"
#include "conversion/output_path.h"
#include "core/text.h"

namespace ravuvur {
namespace {

// Builds "literal value" messages without an allocation per record.
class MessageBuilder {
 public:
  MessageBuilder& operator()(std::string_view literal) {
    text_.assign(literal);
    return *this;
  }
  MessageBuilder& operator<<(std::string_view value) {
    text_ += value;
    return *this;
  }
  MessageBuilder& operator<<(int value) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text_.append(digits, result.ptr);
    return *this;
  }
  std::string_view text() const noexcept { return text_; }

 private:
  std::string text_;
};

}  // namespace

bool RunConversion(ModuleState& state, std::string_view inputPath) {
  ProgressLog& log = state.log;
  MovementTallies& tallies = state.tallies;
  MessageBuilder message;
  const auto logBuilt = [&] { LogMessage(log, message.text()); };

  tallies.Reset();
  ClearLog(log);
  LogMessage(log, msg::k000Starting);

  // A path of spaces is not empty: it goes on and fails to open.
  if (inputPath.empty()) {
    LogMessage(log, msg::k010NoFile);
    LogMessage(log, msg::k011NotConverted);
    return false;
  }

  bool failed = false;
  const std::string path(inputPath);
  message(msg::k001Opening) << UpperCase(path);
  logBuilt();

  MovementFile input(kLastColumnRead);
  if (!input.Open(path)) {
    message(msg::k021CannotOpenInput) << path;
    logBuilt();
    failed = true;
  }

  const std::string csvPath = DeriveCsvPath(path);
  if (csvPath.empty()) {
    LogMessage(log, msg::k022CannotDeriveOutput);
    failed = true;
  }
  message(msg::k012Output) << csvPath;
  logBuilt();

  // Without an input there is nothing to write, and an earlier CSV of this
  // name must not be replaced by an empty one.
  CsvFile output;
  if (input.IsOpen() && !csvPath.empty()) {
    switch (output.Create(csvPath, input.Identity())) {
      case CsvFile::CreateResult::Created: break;
      case CsvFile::CreateResult::SameAsInput:
        message(msg::k024OutputIsInput) << csvPath;
        logBuilt();
        failed = true;
        break;
      case CsvFile::CreateResult::CannotCreate:
        message(msg::k023CannotCreateOutput) << csvPath;
        logBuilt();
        failed = true;
        break;
    }
  }

  // One buffer for the header and then every record; a read that fails
  // leaves it as it was.
  std::string lineBuffer;
  bool readFailed = false;
  if (input.IsOpen() && input.ReadLine(lineBuffer) == ReadResult::Error) {
    message(msg::k028CannotReadInput) << path;
    logBuilt();
    failed = readFailed = true;
  }

  FileHeader& header = state.header;
  header.headerStation.assign(FieldAt(lineBuffer, kHeaderStationColumn, kHeaderStationWidth));
  header.countText.assign(FieldAt(lineBuffer, kCountTextColumn, kCountTextWidth));
  const std::string countShown = Windows1252ToUtf8(header.countText);

  LogMessage(log, msg::k002Header);
  message(msg::k003Station) << Windows1252ToUtf8(header.headerStation);
  logBuilt();
  message(msg::k004Movement) << path;
  logBuilt();
  message(msg::k005RecordCount) << countShown;
  logBuilt();
  LogMessage(log, msg::k006Processing);

  // A count beyond 16 bits cannot drive the loop; the file is refused as a
  // whole rather than converted in part.
  const std::optional<std::int16_t> count = CountValue(header.countText);
  if (!count) {
    message(msg::k026CountOutOfRange) << countShown;
    logBuilt();
    failed = true;
  }
  const int records = (count && !readFailed) ? *count : 0;
  if (records > 0) {
    // Room for "<time> 007 12345 de <count>" per record; the last line
    // logged is 006, which tells the time text's length.
    const std::size_t timeAndSpace = log.Line(log.size() - 1).size() - msg::k006Processing.size();
    log.Reserve(static_cast<std::size_t>(records) + 12,
                timeAndSpace + msg::k007Record.size() + 5 + msg::k007Of.size() + countShown.size());
  }
  for (int i = 1; i <= records; ++i) {
    // An input that did not open left the count text empty: no records.
    const ReadResult read = input.ReadLine(lineBuffer);
    if (read == ReadResult::End) {
      // Fewer lines than announced: keep the rows read so far.
      message(msg::k027EarlyEnd) << i << msg::k007Of << countShown;
      logBuilt();
      break;
    }
    if (read == ReadResult::Error) {
      message(msg::k028CannotReadInput) << path;
      logBuilt();
      failed = true;
      break;
    }
    DecodeRecord(lineBuffer, state.record, tallies);
    const MovementKind kindNow = state.record.kind;
    if (output.IsOpen()) {
      AppendCsvRow(output.Buffer(), kindNow, state.record);
      output.FlushIfFull();
    }
    message(msg::k007Record) << i << msg::k007Of << countShown;
    logBuilt();
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
          message(msg::k025CannotWriteOutput) << csvPath;
          logBuilt();
          failed = true;
          break;
        case CsvFile::CommitResult::CannotReplace:
          message(msg::k023CannotCreateOutput) << csvPath;
          logBuilt();
          failed = true;
          break;
      }
    }
  }

  tallies.ComputeTotals();

  LogMessage(log, failed ? msg::k011NotConverted : msg::k008Success);
  if (written) {
    message(msg::k009Created) << csvPath;
    logBuilt();
  }
  const std::pair<std::string_view, int> statistics[] = {
      {msg::k013Departures, tallies.departures},
      {msg::k014Arrivals, tallies.arrivals},
      {msg::k015Crossings, tallies.crossings},
      {msg::k019TouchAndGo, tallies.touchAndGo},
      {msg::k016Conditions, tallies.conditions},
      {msg::k018TotalMovements, tallies.totalMovements},
      {msg::k020TotalDepArr, tallies.totalDepArr},
  };
  for (const auto& [literal, value] : statistics) {
    message(literal) << value;
    logBuilt();
  }
  message(msg::k017TotalRecords) << countShown;
  logBuilt();
  return !failed;
}

}  // namespace ravuvur
