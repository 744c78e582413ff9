#pragma once

// The movement file the benchmarks convert: 32767 records, the most a
// header can announce, or a day of any other size, generated the same way
// every time for the same size and seed.

#include <cstdio>
#include <random>
#include <string>

namespace bench {

constexpr int kDayRecords = 32767;

// A plausible day at a busy aerodrome: mostly departures and arrivals,
// some circuits (touch-and-go), crossings and condition entries, and a
// remark past column 57 on some lines.
inline std::string MovementDay(int records = kDayRecords, unsigned seed = 20261206) {
  std::mt19937 random(seed);
  const char* aerodromes[] = {"SBKP", "SBGR", "SBSP", "SBMT", "SBRP", "SBBP", "SDCO", "SDPW"};
  const char* types[] = {"C172", "PA34", "BE20", "C208", "AS50", "B738", "E195", "A20N"};
  char header[32];
  std::snprintf(header, sizeof header, "SBJD DTA0612 %05d\r\n", records);
  std::string file = header;
  file.reserve(static_cast<std::size_t>(records) * 80);
  for (int i = 0; i < records; ++i) {
    std::string line(57, ' ');
    const auto put = [&line](std::size_t column, const std::string& text) {
      line.replace(column - 1, text.size(), text);
    };
    char ident[8];
    std::snprintf(ident, sizeof ident, "PR%05d", static_cast<int>(random() % 100000));
    char time[5];
    std::snprintf(time, sizeof time, "%02d%02d", (i / 1400) % 24, static_cast<int>(random() % 60));
    put(1, "SBJD");
    put(10, "061226");
    put(16, ident);
    put(23, types[random() % 8]);
    put(27, random() % 2 ? "V" : "I");
    put(45, "01");
    put(48, "18");
    put(54, "AER1");
    const auto roll = random() % 100;
    const std::string other = aerodromes[random() % 8];
    if (roll < 42) {  // departure
      put(29, other), put(33, time);
    } else if (roll < 84) {  // arrival
      put(37, other), put(41, time);
    } else if (roll < 89) {  // crossing
      put(29, other), put(33, time), put(37, aerodromes[random() % 8]), put(41, time);
    } else if (roll < 97) {  // touch-and-go
      put(29, "SBJD"), put(37, "SBJD"), put(52, "X");
    }  // else a condition entry: no aerodrome at all
    if (random() % 4 == 0) line += "  observacao do operador";
    file += line + "\r\n";
  }
  return file;
}

}  // namespace bench
