#include "conversion/csv_row.h"

#include "core/copy_bytes.h"

#include <cstring>
#include <utility>

namespace ravuvur {
namespace {

char* PutItem(char* out, std::string_view item, bool mayHoldQuotes) noexcept {
  *out++ = '"';
  if (!mayHoldQuotes) {
    out = CopyBytes(out, item);
  } else {
    for (const char c : item) {
      *out++ = c;
      if (c == '"') *out++ = '"';
    }
  }
  *out++ = '"';
  return out;
}

char* PutRow(char* out, const std::string_view (&items)[11], bool mayHoldQuotes) noexcept {
  for (const std::string_view item : items) {
    out = PutItem(out, item, mayHoldQuotes);
    *out++ = ',';
  }
  out[-1] = '\r';
  *out++ = '\n';
  return out;
}

// Whether any item of the record's row may hold a quote: all of them are
// cut from the columns the record keeps.
bool MayHoldQuotes(const MovementRecord& r) noexcept {
  return r.Columns1To57().find('"') != std::string_view::npos;
}

// The row of a record whose line reaches column 57, as nearly every line
// does, and holds no quote: every item then has its full width, so the row
// has one layout and each item is a copy of a size known here.
template <std::size_t... Widths>
char* PutFullRow(char* out, const std::string_view (&items)[11],
                 std::index_sequence<Widths...> /*widths*/) noexcept {
  std::size_t k = 0;
  ((*out++ = '"', std::memcpy(out, items[k++].data(), Widths), out += Widths, *out++ = '"',
    *out++ = ','),
   ...);
  out[-1] = '\r';
  *out++ = '\n';
  return out;
}

// Row date, row time, kind, ident, the two aerodromes, c23, c27, c45, c48,
// c54.
using FullWidths = std::index_sequence<10, 5, 3, 7, 4, 4, 4, 1, 2, 2, 4>;

char* PutRowOf(char* out, const std::string_view (&items)[11], const MovementRecord& r) noexcept {
  const bool mayHoldQuotes = MayHoldQuotes(r);
  if (!mayHoldQuotes && r.Columns1To57().size() == kLastColumnRead) {
    return PutFullRow(out, items, FullWidths{});
  }
  return PutRow(out, items, mayHoldQuotes);
}

}  // namespace

char* WriteCsvRow(char* out, MovementKind kind, const MovementRecord& r) noexcept {
  if (kind == MovementKind::Arrival) {
    const std::string_view items[11] = {r.rowDate(), r.rowTime(), KindText(kind), r.ident(),
                                        r.origin(),  r.station(), r.c23(),        r.c27(),
                                        r.c45(),     r.c48(),     r.c54()};
    return PutRowOf(out, items, r);
  }
  if (kind == MovementKind::Departure) {
    const std::string_view items[11] = {r.rowDate(), r.rowTime(),     KindText(kind), r.ident(),
                                        r.station(), r.destination(), r.c23(),        r.c27(),
                                        r.c45(),     r.c48(),         r.c54()};
    return PutRowOf(out, items, r);
  }
  return out;
}

void AppendCsvRow(std::string& out, MovementKind kind, const MovementRecord& record) {
  char row[kMaxCsvRowSize];
  out.append(row, WriteCsvRow(row, kind, record));
}

}  // namespace ravuvur
