#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/field_at.h"

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
constexpr std::string_view KindText(MovementKind kind) noexcept {
  switch (kind) {
    case MovementKind::TouchAndGo: return "TGL";
    case MovementKind::Condition: return "CND";
    case MovementKind::Crossing: return "TRV";
    case MovementKind::Departure: return "DEP";
    case MovementKind::Arrival: return "ARR";
    case MovementKind::None: break;
  }
  return {};
}

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

// The columns of a record line's fields (1-based start, width).
struct Columns {
  std::size_t start;
  std::size_t width;
};
inline constexpr Columns kStation{1, 4};
inline constexpr Columns kDateDigits{10, 6};  // day, month, two-digit year
inline constexpr Columns kIdent{16, 7};
inline constexpr Columns kC23{23, 4};
inline constexpr Columns kC27{27, 1};
inline constexpr Columns kDestination{29, 4};
inline constexpr Columns kDepartureTime{33, 4};  // hhmm
inline constexpr Columns kOrigin{37, 4};
inline constexpr Columns kArrivalTime{41, 4};  // hhmm
inline constexpr Columns kC45{45, 2};
inline constexpr Columns kC48{48, 2};
inline constexpr Columns kTouchFlag{52, 1};  // "X" marks touch-and-go / go-around
inline constexpr Columns kC54{54, 4};

// The one current record. Every DecodeRecord call overwrites the thirteen
// raw fields and `kind`; rowDate and rowTime change only for departures and
// arrivals, so after a crossing they still hold the last row's values.
//
// The record keeps its own copy of the line's first 57 columns and cuts
// each field from it with FieldAt when asked, so decoding a record copies
// the line once instead of thirteen times, and the fields stay readable
// after the line is gone. Fields are raw Windows-1252 bytes, untrimmed.
class MovementRecord {
 public:
  std::string_view station() const noexcept { return Field(kStation); }
  std::string_view dateDigits() const noexcept { return Field(kDateDigits); }
  std::string_view ident() const noexcept { return Field(kIdent); }
  std::string_view c23() const noexcept { return Field(kC23); }
  std::string_view c27() const noexcept { return Field(kC27); }
  std::string_view destination() const noexcept { return Field(kDestination); }
  std::string_view departureTime() const noexcept { return Field(kDepartureTime); }
  std::string_view origin() const noexcept { return Field(kOrigin); }
  std::string_view arrivalTime() const noexcept { return Field(kArrivalTime); }
  std::string_view c45() const noexcept { return Field(kC45); }
  std::string_view c48() const noexcept { return Field(kC48); }
  std::string_view touchFlag() const noexcept { return Field(kTouchFlag); }
  std::string_view c54() const noexcept { return Field(kC54); }

  // Every byte any field is cut from: the line's first 57 columns.
  std::string_view Columns1To57() const noexcept { return line_.View(); }

  std::string_view rowDate() const noexcept { return rowDate_.View(); }  // dd/mm/20yy
  std::string_view rowTime() const noexcept { return rowTime_.View(); }  // hh:mm

  MovementKind kind = MovementKind::None;

 private:
  friend void DecodeRecord(std::string_view line, MovementRecord& record, MovementTallies& tallies);

  // A short text of at most N characters, stored in place.
  template <std::size_t N>
  struct ShortText {
    std::array<char, N> bytes{};
    std::uint8_t size = 0;
    std::string_view View() const noexcept { return {bytes.data(), size}; }
  };

  std::string_view Field(Columns columns) const noexcept {
    return FieldAt(line_.View(), columns.start, columns.width);
  }

  ShortText<kLastColumnRead> line_;
  ShortText<10> rowDate_;
  ShortText<5> rowTime_;
};

// Cuts the header line (the file's first, without its terminator) into
// `header`: the station from columns 1-4, the count text from 14-18. An
// empty line gives two empty fields.
void DecodeHeader(std::string_view line, FileHeader& header);

// What a record line (without its terminator) is, by the one rule every
// count uses: the touch flag (only an upper-case X) first, then which of
// destination and origin is not blank. Never None.
MovementKind ClassifyRecord(std::string_view line) noexcept;

// Cuts one record line (without its terminator) into `record`, classifies
// it (ClassifyRecord) and counts it in `tallies`. Never fails: odd input only gives odd or
// empty field texts.
void DecodeRecord(std::string_view line, MovementRecord& record, MovementTallies& tallies);

}  // namespace ravuvur
