#include "fuzz/reference_model.h"

namespace ziz_fuzz {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  bool pending = false;  // bytes seen since the last terminator
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(current);
      current.clear();
      pending = false;
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current += c;
      pending = true;
    }
  }
  if (pending) lines.push_back(current);
  return lines;
}

std::string Cut(std::string_view line, std::size_t start, std::size_t width) {
  std::string out;
  for (std::size_t column = start; column < start + width; ++column) {
    if (column > line.size()) break;
    out += line[column - 1];
  }
  return out;
}

namespace {

bool Blank(const std::string& field) {
  for (const char c : field) {
    if (c != ' ') return false;
  }
  return true;
}

}  // namespace

ExpectedRecord Expect(std::string_view line) {
  const std::string station = Cut(line, 1, 4), date = Cut(line, 10, 6), ident = Cut(line, 16, 7),
                    c23 = Cut(line, 23, 4), c27 = Cut(line, 27, 1), dest = Cut(line, 29, 4),
                    depTime = Cut(line, 33, 4), origin = Cut(line, 37, 4),
                    arrTime = Cut(line, 41, 4), c45 = Cut(line, 45, 2), c48 = Cut(line, 48, 2),
                    flag = Cut(line, 52, 1), c54 = Cut(line, 54, 4);
  const std::string rowDate = Cut(date, 1, 2) + "/" + Cut(date, 3, 2) + "/20" + Cut(date, 5, 2);
  if (flag == "X") return {"TGL", {}};
  if (Blank(dest) && Blank(origin)) return {"CND", {}};
  if (!Blank(dest) && !Blank(origin)) return {"TRV", {}};
  if (!Blank(dest)) {
    return {"DEP",
            {rowDate, Cut(depTime, 1, 2) + ":" + Cut(depTime, 3, 2), "DEP", ident, station, dest,
             c23, c27, c45, c48, c54}};
  }
  return {"ARR",
          {rowDate, Cut(arrTime, 1, 2) + ":" + Cut(arrTime, 3, 2), "ARR", ident, origin, station,
           c23, c27, c45, c48, c54}};
}

bool ReadCsv(std::string_view text, std::vector<std::vector<std::string>>& rows) {
  rows.clear();
  std::size_t i = 0;
  while (i < text.size()) {
    std::vector<std::string> row;
    for (;;) {
      if (i >= text.size() || text[i] != '"') return false;  // every item is quoted
      ++i;
      std::string item;
      for (;;) {
        if (i >= text.size()) return false;
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
      row.push_back(item);
      if (i < text.size() && text[i] == ',') {
        ++i;
        continue;
      }
      if (text.substr(i, 2) == "\r\n") {
        i += 2;
        break;
      }
      return false;
    }
    rows.push_back(row);
  }
  return true;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    std::size_t length = b < 0x80         ? 1
                         : (b >> 5) == 6  ? 2
                         : (b >> 4) == 14 ? 3
                         : (b >> 3) == 30 ? 4
                                          : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

bool HoldsControlCharacter(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    const bool c1 = b == 0xC2 && i + 1 < text.size() &&
                    static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if (b < 0x20 || b == 0x7F || c1) return true;
  }
  return false;
}

}  // namespace ziz_fuzz
