#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ravuvur {

// Columns of the header line (1-based start, width).
inline constexpr std::size_t kHeaderStationColumn = 1, kHeaderStationWidth = 4;
inline constexpr std::size_t kCountTextColumn = 14, kCountTextWidth = 5;

// Nothing past this column of any line is ever read, so a reader may drop
// the rest of a line (a 1 GiB line costs no more memory than a short one).
inline constexpr std::size_t kLastColumnRead = 57;

// Station code and announced record count of the file being converted.
// Both stay exactly as cut from the header: countText keeps its leading
// zeros or spaces and is shown in the log unchanged.
struct FileHeader {
  std::string headerStation;
  std::string countText;
};

// What a record line is. The three-letter texts are the ones written to
// the CSV rows and compared by the run.
enum class MovementKind : std::uint8_t {
  None,        // no record decoded yet
  TouchAndGo,  // "TGL": column 52 holds "X"
  Condition,   // "CND": neither origin nor destination
  Crossing,    // "TRV": both origin and destination
  Departure,   // "DEP": destination only
  Arrival,     // "ARR": origin only
};

// "TGL", "CND", "TRV", "DEP", "ARR"; empty for MovementKind::None.
std::string_view KindText(MovementKind kind) noexcept;

// The one current record. Every DecodeRecord call overwrites the thirteen
// raw fields and `kind`; rowDate and rowTime change only for departures and
// arrivals, so after a crossing they still hold the last row's values.
// Fields are raw Windows-1252 bytes, untrimmed.
struct MovementRecord {
  std::string station;        // columns 1-4
  std::string dateDigits;     // 10-15, day month two-digit year
  std::string ident;          // 16-22
  std::string c23;            // 23-26
  std::string c27;            // 27
  std::string destination;    // 29-32
  std::string departureTime;  // 33-36, hhmm
  std::string origin;         // 37-40
  std::string arrivalTime;    // 41-44, hhmm
  std::string c45;            // 45-46
  std::string c48;            // 48-49
  std::string touchFlag;      // 52, "X" marks touch-and-go / go-around
  std::string c54;            // 54-57

  std::string rowDate;  // dd/mm/20yy
  std::string rowTime;  // hh:mm
  MovementKind kind = MovementKind::None;
};

// Counters are signed 16-bit: a run handles at most 32767 records and
// counts each once, so no counter or total can go past 32767.
struct MovementTallies {
  std::int16_t departures = 0;
  std::int16_t arrivals = 0;
  std::int16_t crossings = 0;
  std::int16_t conditions = 0;
  std::int16_t touchAndGo = 0;
  // Computed once after the last record (see ComputeTotals).
  std::int16_t totalMovements = 0;  // conditions are not movements
  std::int16_t totalDepArr = 0;

  void Reset() noexcept { *this = MovementTallies{}; }
  void ComputeTotals() noexcept;
};

// Cuts one record line (without its terminator) into `record`, classifies
// it and counts it in `tallies`. Never fails: odd input only gives odd or
// empty field texts.
void DecodeRecord(std::string_view line, MovementRecord& record, MovementTallies& tallies);

}  // namespace ravuvur
