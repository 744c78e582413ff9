#include "core/field_at.h"
#include "core/movement.h"

namespace ravuvur {
namespace {

// Blank means empty once leading and trailing spaces are removed. Only the
// space character counts: a tab makes a field non-blank.
bool IsBlank(std::string_view field) noexcept {
  return field.find_first_not_of(' ') == std::string_view::npos;
}

// dd/mm/20yy from ddmmyy, each part clipped like any other field, so a
// short date gives shorter parts while the separators stay.
void BuildRowDate(const std::string& digits, std::string& out) {
  out.assign(FieldAt(digits, 1, 2));
  out += '/';
  out += FieldAt(digits, 3, 2);
  out += "/20";
  out += FieldAt(digits, 5, 2);
}

// hh:mm from hhmm; a blank time gives "  :  ".
void BuildRowTime(const std::string& digits, std::string& out) {
  out.assign(FieldAt(digits, 1, 2));
  out += ':';
  out += FieldAt(digits, 3, 2);
}

}  // namespace

std::string_view KindText(MovementKind kind) noexcept {
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

void MovementTallies::ComputeTotals() noexcept {
  // Each record is counted once and a run handles at most 32767 records,
  // so these sums fit.
  totalMovements = static_cast<std::int16_t>(departures + arrivals + crossings + touchAndGo);
  totalDepArr = static_cast<std::int16_t>(departures + arrivals);
}

void DecodeRecord(std::string_view line, MovementRecord& r, MovementTallies& t) {
  r.station.assign(FieldAt(line, 1, 4));
  r.dateDigits.assign(FieldAt(line, 10, 6));
  r.ident.assign(FieldAt(line, 16, 7));
  r.c23.assign(FieldAt(line, 23, 4));
  r.c27.assign(FieldAt(line, 27, 1));
  r.destination.assign(FieldAt(line, 29, 4));
  r.departureTime.assign(FieldAt(line, 33, 4));
  r.origin.assign(FieldAt(line, 37, 4));
  r.arrivalTime.assign(FieldAt(line, 41, 4));
  r.c45.assign(FieldAt(line, 45, 2));
  r.c48.assign(FieldAt(line, 48, 2));
  r.touchFlag.assign(FieldAt(line, 52, 1));
  r.c54.assign(FieldAt(line, 54, 4));

  // The flag is tested first: a flagged record is touch-and-go whatever its
  // aerodromes hold. Only an upper-case X counts.
  if (r.touchFlag == "X") {
    ++t.touchAndGo;
    r.kind = MovementKind::TouchAndGo;
    return;
  }
  const bool hasDestination = !IsBlank(r.destination);
  const bool hasOrigin = !IsBlank(r.origin);
  if (!hasDestination && !hasOrigin) {
    ++t.conditions;
    r.kind = MovementKind::Condition;
  } else if (hasDestination && hasOrigin) {
    ++t.crossings;
    r.kind = MovementKind::Crossing;
  } else if (hasDestination) {
    ++t.departures;
    BuildRowDate(r.dateDigits, r.rowDate);
    BuildRowTime(r.departureTime, r.rowTime);
    r.kind = MovementKind::Departure;
  } else {
    ++t.arrivals;
    BuildRowDate(r.dateDigits, r.rowDate);
    BuildRowTime(r.arrivalTime, r.rowTime);
    r.kind = MovementKind::Arrival;
  }
}

}  // namespace ravuvur
