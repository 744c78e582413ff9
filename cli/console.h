#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What dta2csv needs of the platform it runs on: its arguments, and the
// two output streams as plain byte streams carrying UTF-8. Each platform
// has its own (console_posix.cpp, console_windows.cpp).
namespace dta2csv {

// The arguments after the program's name, as UTF-8 (file names included,
// whatever the console's code page).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// The files a file argument names. On Windows, where shells leave that to
// each program, a '*' or '?' in the argument's last name makes it a pattern
// that stands for the files (not folders) whose long names match it (see
// MatchesLikeWindows), in order of name; none gives an empty list.
// Elsewhere the shell has done it already, and the argument names itself.
std::vector<std::string> FilesNamedBy(const std::string& argument);

// Gets the process ready to print the log: the user's locale for the time
// text, and output that reaches a console, a file or a pipe as UTF-8.
void PrepareConsole();

// Write all of `bytes` to standard output or standard error; false when a
// write failed (LastErrorText then says why). Lines end as the platform's
// text files do: each line feed goes out as CR LF on Windows.
bool WriteStdout(std::string_view bytes);
bool WriteStderr(std::string_view bytes);
std::string LastErrorText();

// How many more files the process may open at once: what its descriptor
// limit (ulimit -n) leaves beside those open already. Windows has no such
// limit.
std::size_t FilesItMayOpen();

}  // namespace dta2csv
