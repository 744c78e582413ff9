#include "core/name_pattern.h"

#include <string>
#include <utility>
#include <vector>

#include "core/text.h"

namespace ravuvur {
namespace {

// The pattern's wildcards after Windows' own translation of a pattern
// (the rules its file systems match names by), each above every
// character and every byte value of CaseFolded.
// Any run of characters.
constexpr char32_t kStar = 0x120000;
// Any run that does not take in the name's last dot.
constexpr char32_t kDosStar = 0x120001;
// Any one character but a dot; none before a dot or at the end.
constexpr char32_t kDosOne = 0x120002;
// A dot, or the end of the name.
constexpr char32_t kDosDot = 0x120003;

std::u32string Translated(std::string_view pattern) {
  if (pattern == "*.*") return {kStar};
  std::u32string in = CaseFolded(pattern);
  std::u32string out;
  for (std::size_t k = 0; k < in.size(); ++k) {
    const char32_t next = k + 1 < in.size() ? in[k + 1] : U'\0';
    if (in[k] == U'?') {
      out += kDosOne;
    } else if (in[k] == U'*') {
      out += next == U'.' ? kDosStar : kStar;
    } else if (in[k] == U'.' && (next == U'?' || next == U'*' || next == U'\0')) {
      out += kDosDot;
    } else {
      out += in[k];
    }
  }
  return out;
}

class Matcher {
 public:
  Matcher(std::u32string pattern, std::u32string name)
      : pattern_(std::move(pattern)),
        name_(std::move(name)),
        lastDot_(name_.rfind(U'.')),
        known_((pattern_.size() + 1) * (name_.size() + 1), kUnknown) {}

  // Whether the pattern from `p` on matches the name from `n` on; each
  // pair is worked out once, so no pattern takes more than pattern length
  // times name length steps.
  bool Matches(std::size_t p, std::size_t n) {
    char& known = known_[p * (name_.size() + 1) + n];
    if (known == kUnknown) known = Work(p, n) ? kYes : kNo;
    return known == kYes;
  }

 private:
  static constexpr char kUnknown = 0, kYes = 1, kNo = 2;

  bool Work(std::size_t p, std::size_t n) {
    const bool atEnd = n == name_.size();
    if (p == pattern_.size()) return atEnd;
    const bool atDot = !atEnd && name_[n] == U'.';
    switch (pattern_[p]) {
      case kStar: return Matches(p + 1, n) || (!atEnd && Matches(p, n + 1));
      case kDosStar: return Matches(p + 1, n) || (!atEnd && n != lastDot_ && Matches(p, n + 1));
      case kDosOne: return atEnd || atDot ? Matches(p + 1, n) : Matches(p + 1, n + 1);
      case kDosDot: return atDot ? Matches(p + 1, n + 1) : atEnd && Matches(p + 1, n);
      default: return !atEnd && name_[n] == pattern_[p] && Matches(p + 1, n + 1);
    }
  }

  std::u32string pattern_;
  std::u32string name_;
  std::size_t lastDot_;
  std::vector<char> known_;
};

}  // namespace

bool MatchesLikeWindows(std::string_view pattern, std::string_view name) {
  return Matcher(Translated(pattern), CaseFolded(name)).Matches(0, 0);
}

}  // namespace ravuvur
