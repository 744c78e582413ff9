#include <algorithm>
#include <cstring>

#include "core/field_at.h"
#include "core/movement.h"

namespace ravuvur {
namespace {

// Blank means empty once leading and trailing spaces are removed. Only the
// space character counts: a tab makes a field non-blank.
bool IsBlank(std::string_view field) noexcept {
  for (const char c : field) {
    if (c != ' ') return false;
  }
  return true;
}

// Puts the (at most two) characters of one part of a row date or time at
// `out`, returning the end.
char* PutPart(char* out, std::string_view part) noexcept {
  if (!part.empty()) *out++ = part[0];
  if (part.size() > 1) *out++ = part[1];
  return out;
}

// dd/mm/20yy from ddmmyy, each part clipped like any other field, so a
// short date gives shorter parts while the separators stay.
template <typename Text>
void BuildRowDate(std::string_view digits, Text& out) noexcept {
  char* p = out.bytes.data();
  p = PutPart(p, FieldAt(digits, 1, 2));
  *p++ = '/';
  p = PutPart(p, FieldAt(digits, 3, 2));
  *p++ = '/';
  p = PutPart(p, "20");
  p = PutPart(p, FieldAt(digits, 5, 2));
  out.size = static_cast<std::uint8_t>(p - out.bytes.data());
}

// hh:mm from hhmm; a blank time gives "  :  ".
template <typename Text>
void BuildRowTime(std::string_view digits, Text& out) noexcept {
  char* p = out.bytes.data();
  p = PutPart(p, FieldAt(digits, 1, 2));
  *p++ = ':';
  p = PutPart(p, FieldAt(digits, 3, 2));
  out.size = static_cast<std::uint8_t>(p - out.bytes.data());
}

}  // namespace

void MovementTallies::ComputeTotals() noexcept {
  // Each record is counted once and a run handles at most 32767 records,
  // so these sums fit.
  totalMovements = static_cast<std::int16_t>(departures + arrivals + crossings + touchAndGo);
  totalDepArr = static_cast<std::int16_t>(departures + arrivals);
}

void DecodeHeader(std::string_view line, FileHeader& header) {
  header.headerStation.assign(FieldAt(line, kHeaderStationColumn, kHeaderStationWidth));
  header.countText.assign(FieldAt(line, kCountTextColumn, kCountTextWidth));
}

MovementKind ClassifyRecord(std::string_view line) noexcept {
  // The flag is tested first: a flagged record is touch-and-go whatever its
  // aerodromes hold.
  if (FieldAt(line, kTouchFlag.start, kTouchFlag.width) == "X") return MovementKind::TouchAndGo;
  const bool hasDestination = !IsBlank(FieldAt(line, kDestination.start, kDestination.width));
  const bool hasOrigin = !IsBlank(FieldAt(line, kOrigin.start, kOrigin.width));
  if (hasDestination) return hasOrigin ? MovementKind::Crossing : MovementKind::Departure;
  return hasOrigin ? MovementKind::Arrival : MovementKind::Condition;
}

void DecodeRecord(std::string_view line, MovementRecord& r, MovementTallies& t) {
  // Every field lies within the first 57 columns: one copy of those is all
  // the cutting there is.
  const std::size_t kept = std::min(line.size(), kLastColumnRead);
  if (kept > 0) std::memcpy(r.line_.bytes.data(), line.data(), kept);
  r.line_.size = static_cast<std::uint8_t>(kept);

  r.kind = ClassifyRecord(r.Columns1To57());
  switch (r.kind) {
    case MovementKind::TouchAndGo: ++t.touchAndGo; break;
    case MovementKind::Condition: ++t.conditions; break;
    case MovementKind::Crossing: ++t.crossings; break;
    case MovementKind::Departure:
      ++t.departures;
      BuildRowDate(r.dateDigits(), r.rowDate_);
      BuildRowTime(r.departureTime(), r.rowTime_);
      break;
    case MovementKind::Arrival:
      ++t.arrivals;
      BuildRowDate(r.dateDigits(), r.rowDate_);
      BuildRowTime(r.arrivalTime(), r.rowTime_);
      break;
    case MovementKind::None: break;
  }
}

}  // namespace ravuvur
