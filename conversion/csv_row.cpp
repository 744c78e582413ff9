#include "conversion/csv_row.h"

#include <initializer_list>
#include <string_view>

namespace ravuvur {
namespace {

void AppendItem(std::string& out, std::string_view item) {
  out += '"';
  for (std::size_t quote; (quote = item.find('"')) != std::string_view::npos;) {
    out.append(item.substr(0, quote + 1));
    out += '"';
    item.remove_prefix(quote + 1);
  }
  out.append(item);
  out += '"';
}

void AppendRow(std::string& out, std::initializer_list<std::string_view> items) {
  bool first = true;
  for (const std::string_view item : items) {
    if (!first) out += ',';
    first = false;
    AppendItem(out, item);
  }
  out += "\r\n";
}

}  // namespace

void AppendCsvRow(std::string& out, MovementKind kind, const MovementRecord& r) {
  if (kind == MovementKind::Arrival) {
    AppendRow(out, {r.rowDate, r.rowTime, KindText(kind), r.ident, r.origin, r.station, r.c23,
                    r.c27, r.c45, r.c48, r.c54});
  } else if (kind == MovementKind::Departure) {
    AppendRow(out, {r.rowDate, r.rowTime, KindText(kind), r.ident, r.station, r.destination,
                    r.c23, r.c27, r.c45, r.c48, r.c54});
  }
}

}  // namespace ravuvur
