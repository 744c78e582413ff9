// Writes COUNT day files of RECORDS records each (MOV00001.DAT, ...) into
// FOLDER, for bench/batch_compare.sh. Each day differs from the others;
// the same arguments give the same files every time.
//
//   batch_days FOLDER COUNT [RECORDS]

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/movement_day.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: batch_days FOLDER COUNT [RECORDS]\n");
    return 2;
  }
  const int count = std::atoi(argv[2]);
  const int records = argc > 3 ? std::atoi(argv[3]) : 400;
  for (int day = 1; day <= count; ++day) {
    char name[32];
    std::snprintf(name, sizeof name, "/MOV%05d.DAT", day);
    std::ofstream out(std::string(argv[1]) + name, std::ios::binary);
    out << bench::MovementDay(records, "SBJD", "061226", static_cast<std::uint32_t>(day));
    if (!out) {
      std::perror(name + 1);
      return 1;
    }
  }
  return 0;
}
