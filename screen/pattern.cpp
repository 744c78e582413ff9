#include "screen/pattern.h"

#include <algorithm>

#include "core/text.h"

namespace screen {

namespace {

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Wildcard matching with one step back to the last star: linear for the
// patterns people type.
bool GlobMatches(std::u32string_view glob, std::u32string_view name) {
  std::size_t g = 0;
  std::size_t n = 0;
  std::size_t star = std::u32string_view::npos;
  std::size_t resume = 0;
  while (n < name.size()) {
    if (g < glob.size() && (glob[g] == U'?' || glob[g] == name[n])) {
      ++g, ++n;
    } else if (g < glob.size() && glob[g] == U'*') {
      star = g++;
      resume = n;
    } else if (star != std::u32string_view::npos) {
      g = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (g < glob.size() && glob[g] == U'*') ++g;
  return g == glob.size();
}

}  // namespace

NamePattern::NamePattern(std::string_view text) {
  while (true) {
    const std::size_t end = std::min(text.find(';'), text.size());
    const std::string_view one = Trimmed(text.substr(0, end));
    if (!one.empty()) {
      std::u32string glob = ravuvur::CaseFolded(one);
      const bool anyExtension = glob.ends_with(U".*");
      if (anyExtension) glob.resize(glob.size() - 2);
      parts_.push_back({std::move(glob), anyExtension});
    }
    if (end == text.size()) break;
    text.remove_prefix(end + 1);
  }
  if (parts_.empty()) parts_.push_back({U"*", false});
}

bool NamePattern::Matches(std::u32string_view key) const {
  return std::any_of(parts_.begin(), parts_.end(), [key](const Part& part) {
    if (GlobMatches(part.glob, key)) return true;
    if (!part.anyExtension) return false;
    // The stem, then a dot and anything, as one glob would say it.
    for (std::size_t dot = key.find(U'.'); dot != std::u32string_view::npos;
         dot = key.find(U'.', dot + 1)) {
      if (GlobMatches(part.glob, key.substr(0, dot))) return true;
    }
    return false;
  });
}

}  // namespace screen
