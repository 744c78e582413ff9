#include "conversion/csv_row.h"

#include <algorithm>
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
  // Most rows hold no quote: size the row once and copy the items in.
  std::size_t size = items.size() * 3 + 1;  // two quotes and a comma each, CR LF less one comma
  bool quoted = false;
  for (const std::string_view item : items) {
    size += item.size();
    quoted = quoted || item.find('"') != std::string_view::npos;
  }
  if (!quoted) {
    const std::size_t start = out.size();
    out.resize(start + size);
    char* p = out.data() + start;
    for (const std::string_view item : items) {
      *p++ = '"';
      p = std::copy(item.begin(), item.end(), p);
      *p++ = '"';
      *p++ = ',';
    }
    p[-1] = '\r';
    *p = '\n';
    return;
  }

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
    AppendRow(out, {r.rowDate, r.rowTime, KindText(kind), r.ident, r.station, r.destination, r.c23,
                    r.c27, r.c45, r.c48, r.c54});
  }
}

}  // namespace ravuvur
