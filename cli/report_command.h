#pragma once

#include <string>
#include <vector>

namespace dta2csv {

// dta2csv --report DIR [--] INPUT...: `arguments` are those after
// --report. Reads every INPUT (a movement file, or a folder's *.DAT files)
// and writes TOTAL-DIARIO.CSV, MOV-POR-HORA.CSV and RELATORIO.HTML into
// the existing folder DIR; converts nothing. Returns the exit status: 0
// when every file was counted and the report written, 1 when a file was
// not counted or the report could not be written (the reasons on standard
// error), 2 for a usage error.
int RunReportCommand(const std::vector<std::string>& arguments);

}  // namespace dta2csv
