// Writes the sample archive the reports' tests use into a folder: six
// month files for two stations and the odd files beside them. For the
// page's check in a browser and for its picture in the README.
//
//   report_sample FOLDER

#include <cstdio>

#include "tests/report/sample_files.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: report_sample FOLDER\n");
    return 2;
  }
  ziz_test::WriteSixMonths(argv[1]);
  ziz_test::WriteOddFiles(argv[1]);
  return 0;
}
