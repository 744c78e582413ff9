#include "conversion/output_path.h"

#include "core/text.h"

namespace ravuvur {
namespace {

#if defined(_WIN32)
// Windows drops the dots and spaces that end a path's last name, so
// "MOV.DAT." and "MOV.DAT " open MOV.DAT; the CSV is named after the file
// opened. A name of nothing but dots and spaces ("..") is left alone, and
// so is the \\?\ form, which Windows takes literally.
std::string_view AsWindowsOpensIt(std::string_view path) {
  if (path.starts_with(R"(\\?\)") || path.starts_with(R"(\??\)")) return path;
  const std::size_t nameStart = path.find_last_of("\\/:") + 1;  // npos + 1 == 0
  const std::size_t last = path.find_last_not_of(". ");
  if (last == std::string_view::npos || last < nameStart) return path;
  return path.substr(0, last + 1);
}
#endif

}  // namespace

std::string DeriveCsvPath(std::string_view inputPath) {
#if defined(_WIN32)
  inputPath = AsWindowsOpensIt(inputPath);
  constexpr std::string_view kSeparators = "\\/:";  // a drive's colon ends a folder too
#else
  constexpr std::string_view kSeparators = "/";
#endif
  const std::size_t characters = CharacterCount(inputPath);
  if (characters < 4) return {};
  const std::size_t kept = PrefixBytes(inputPath, characters - 4);
  // A last name shorter than four characters: ".CSV" would take the place
  // of a separator and name a file in another folder ("dados/arquivo/A"
  // would give "dados/ARQUI.CSV").
  if (inputPath.find_first_of(kSeparators, kept) != std::string_view::npos) return {};
  std::string derived(inputPath.substr(0, kept));
  derived += ".CSV";
#if defined(_WIN32)
  return UpperCase(derived);
#else
  const std::size_t nameStart = derived.rfind('/') + 1;  // npos + 1 == 0
  return derived.substr(0, nameStart) + UpperCase(std::string_view(derived).substr(nameStart));
#endif
}

}  // namespace ravuvur
