#include "conversion/movement_file.h"

#include <algorithm>
#include <cstring>

namespace ravuvur {
namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

// The first CR or LF in [begin, end), or end. Searched window by window so
// that a file using only one of the two never has the other searched for
// through the whole buffer on every line.
const char* FindLineEnd(const char* begin, const char* end) {
  constexpr std::ptrdiff_t kWindow = 256;
  for (const char* p = begin; p != end;) {
    const char* windowEnd = end - p > kWindow ? p + kWindow : end;
    const auto* cr =
        static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(windowEnd - p)));
    const char* searchEnd = cr != nullptr ? cr : windowEnd;
    if (const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(searchEnd - p))) {
      return static_cast<const char*>(lf);
    }
    if (cr != nullptr) return cr;
    p = windowEnd;
  }
  return end;
}

}  // namespace

MovementFile::MovementFile(std::size_t keep) : keep_(keep) {}

MovementFile::~MovementFile() { Close(); }

bool MovementFile::Open(std::string_view path) {
  if (!file_.Open(path)) return false;
  if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
  pos_ = end_ = 0;
  eof_ = error_ = skipLineFeed_ = false;
  return true;
}

void MovementFile::Close() noexcept { file_.Close(); }

bool MovementFile::Fill() {
  if (pos_ < end_) return true;
  if (!file_.IsOpen() || eof_ || error_) return false;
  const std::ptrdiff_t n = file_.Read(buffer_.get(), kBufferSize);
  if (n > 0) {
    pos_ = 0;
    end_ = static_cast<std::size_t>(n);
    return true;
  }
  (n == 0 ? eof_ : error_) = true;
  return false;
}

ReadResult MovementFile::ReadLine(std::string& line) {
  if (skipLineFeed_) {
    skipLineFeed_ = false;
    if (Fill() && buffer_[pos_] == '\n') ++pos_;
  }
  if (!Fill()) return error_ ? ReadResult::Error : ReadResult::End;

  // Built apart so that a read error mid-line leaves `line` as it was.
  std::string& built = scratch_;
  built.clear();
  for (;;) {
    const char* begin = buffer_.get() + pos_;
    const char* end = buffer_.get() + end_;
    const char* p = FindLineEnd(begin, end);
    const auto length = static_cast<std::size_t>(p - begin);
    if (built.size() < keep_) built.append(begin, std::min(length, keep_ - built.size()));
    if (p != end) {
      pos_ = static_cast<std::size_t>(p - buffer_.get()) + 1;
      if (*p == '\r') {
        if (pos_ < end_) {
          if (buffer_[pos_] == '\n') ++pos_;
        } else {
          skipLineFeed_ = true;
        }
      }
      line.swap(built);
      return ReadResult::Line;
    }
    pos_ = end_;
    if (!Fill()) {
      if (error_) return ReadResult::Error;
      line.swap(built);
      return ReadResult::Line;
    }
  }
}

}  // namespace ravuvur
