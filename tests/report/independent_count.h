#pragma once

#include <string>
#include <vector>

// The two reports' rows as a second, deliberately plain reading of the
// movement files gives them, for the tests to hold the report against:
// its own line splitting and classification (the fuzz targets' reference
// model), its own calendar (the standard library's), its own ordering.
namespace ziz_test {

using CsvRows = std::vector<std::vector<std::string>>;

struct ExpectedReport {
  CsvRows daily;   // TOTAL-DIARIO.CSV, header row included
  CsvRows hourly;  // MOV-POR-HORA.CSV, header row included
};

// The report over these movement files' contents (Windows-1252 bytes),
// each counted as a conversion counts it: the header's count (plain
// digits here) drives the loop, a short file counts what it holds.
ExpectedReport CountIndependently(const std::vector<std::string>& files);

// The rows of a CSV file whose every item is quoted and rows end in CR LF;
// fails the calling test when the text is not such a file.
CsvRows CsvRowsOf(const std::string& text);

}  // namespace ziz_test
