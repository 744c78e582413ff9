#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace screen {

// A file pattern as typed into the pattern box, matched against the names
// shown, whatever their letter case. `*` stands for any run of characters,
// `?` for any one, everything else for itself (brackets too). A final ".*"
// may also match nothing, so "*.*" and "MOV*.*" take names without an
// extension as well. Several patterns can be given separated by ';'. An
// empty pattern takes every file.
class NamePattern {
 public:
  explicit NamePattern(std::string_view text = "*.*");

  // `key` is the name shown, folded (ravuvur::CaseFolded).
  bool Matches(std::u32string_view key) const;

 private:
  struct Part {
    std::u32string glob;
    bool anyExtension;
  };
  std::vector<Part> parts_;
};

}  // namespace screen
