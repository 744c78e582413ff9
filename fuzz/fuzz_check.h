#pragma once

// Property checks for the fuzz targets: a failed check prints what was
// expected and aborts, which libFuzzer and the replay runner both report
// with the input that caused it.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#define FUZZ_CHECK(condition, what)                                                           \
  do {                                                                                        \
    if (!(condition)) {                                                                       \
      std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", __FILE__, __LINE__, #condition, \
                   std::string(what).c_str());                                                \
      std::abort();                                                                           \
    }                                                                                         \
  } while (0)

namespace ziz_fuzz {

// Printable form of bytes for failure messages.
inline std::string Show(std::string_view bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && c != '"' && c != '\\') {
      out += c;
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      out += hex;
    }
  }
  return out + "\"";
}

}  // namespace ziz_fuzz
