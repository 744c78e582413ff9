#pragma once

#include <string>
#include <string_view>

// Movement files for the reports' tests, made up the same way every time.
namespace ziz_test {

// A month of one station's movements: every day holds departures,
// arrivals, crossings, touch-and-go and condition entries, more by day
// than by night, about `perDay` records a day; the same for one seed.
std::string MonthOfMovements(std::string_view station, int year, int month, unsigned seed,
                             int perDay = 40);

// Writes into `folder` six month files, January to March 2026 for SBJD and
// for SBKP, as an archive would hold them. Returns their number of records.
int WriteSixMonths(const std::string& folder);

// Writes into `folder` the odd files an archive also holds: a record with
// an unreadable date, departures at hour 24 and with a blank time, a
// touch-and-go and a condition entry on a day of the months above, a file
// shorter than its header says, and a folder named PASTA.DAT.
void WriteOddFiles(const std::string& folder);

}  // namespace ziz_test
