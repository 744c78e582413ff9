#pragma once

#include <string_view>

namespace ravuvur {

// Whether the file name `name` matches `pattern` as Windows matches a
// pattern against a file's long name (both UTF-8; letter case aside, as
// CaseFolded folds it): `*` stands for any run of characters, `?`
// for any one, or for none before a dot or at the end; "*.*" for every
// name; a dot before a wildcard or at the end also for the end of a name
// without one; and `*` before a dot never takes in the name's last dot.
// So "*.DAT" takes "mov0612.dat" and not "mov0612.datold", "mov?.dat"
// takes "mov.dat", and "*." takes the names without an extension.
//
// Windows' own search (FindFirstFileExW) also matches a file by its short
// 8.3 name, which "mov0612.datold" may have as "MOV0~T2B.DAT": what it
// finds is checked again here, by the name the user sees.
bool MatchesLikeWindows(std::string_view pattern, std::string_view name);

}  // namespace ravuvur
