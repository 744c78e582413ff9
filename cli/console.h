#pragma once

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

// Gets the process ready to print the log: the user's locale for the time
// text, and output that reaches a console, a file or a pipe as UTF-8.
void PrepareConsole();

// Write all of `bytes` to standard output or standard error; false when a
// write failed (LastErrorText then says why).
bool WriteStdout(std::string_view bytes);
bool WriteStderr(std::string_view bytes);
std::string LastErrorText();

}  // namespace dta2csv
