#include "conversion/csv_row.h"

#include <cstring>
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

// Row items are short (one to ten characters as a rule); a copy of a known
// small size compiles to a few moves where a general copy is a call.
char* CopyShort(std::string_view item, char* to) {
  switch (item.size()) {
    case 0: return to;
    case 1: std::memcpy(to, item.data(), 1); return to + 1;
    case 2: std::memcpy(to, item.data(), 2); return to + 2;
    case 3: std::memcpy(to, item.data(), 3); return to + 3;
    case 4: std::memcpy(to, item.data(), 4); return to + 4;
    case 5: std::memcpy(to, item.data(), 5); return to + 5;
    case 7: std::memcpy(to, item.data(), 7); return to + 7;
    case 10: std::memcpy(to, item.data(), 10); return to + 10;
    default: std::memcpy(to, item.data(), item.size()); return to + item.size();
  }
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
      p = CopyShort(item, p);
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
