#include "conversion/output_path.h"

#include "core/text.h"

namespace ravuvur {

std::string DeriveCsvPath(std::string_view inputPath) {
  const std::size_t characters = CharacterCount(inputPath);
  if (characters < 4) return {};
  std::string derived(inputPath.substr(0, PrefixBytes(inputPath, characters - 4)));
  derived += ".CSV";
#if defined(_WIN32)
  return UpperCase(derived);
#else
  const std::size_t nameStart = derived.rfind('/') + 1;  // npos + 1 == 0
  return derived.substr(0, nameStart) + UpperCase(std::string_view(derived).substr(nameStart));
#endif
}

}  // namespace ravuvur
