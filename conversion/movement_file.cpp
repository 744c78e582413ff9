#include "conversion/movement_file.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__) && !defined(ZIZ_SCALAR_LINE_END)
#include <emmintrin.h>
#endif

namespace ravuvur {
namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

// Bytes past the end of the data that the line-end search may look at
// (and ignore): the buffer is that much longer than it is ever filled.
constexpr std::size_t kLookAhead = 64;

// The first CR or LF in [begin, end), or end; up to kLookAhead bytes past
// `end` must be readable. Lines are a few dozen bytes: where the processor
// can, 64 bytes are looked at in one step, which finds the end of a
// typical line at once.
const char* FindLineEnd(const char* begin, const char* end) noexcept {
#if defined(__SSE2__) && !defined(ZIZ_SCALAR_LINE_END)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const auto hitsIn = [&](const char* at) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const int hits =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf)));
    return static_cast<std::uint64_t>(static_cast<unsigned>(hits));
  };
  for (const char* p = begin; p < end; p += 64) {
    const std::uint64_t hits =
        hitsIn(p) | hitsIn(p + 16) << 16 | hitsIn(p + 32) << 32 | hitsIn(p + 48) << 48;
    if (hits != 0) return std::min(p + __builtin_ctzll(hits), end);
  }
  return end;
#else
  const char* p = begin;
  while (p != end && *p != '\r' && *p != '\n') ++p;
  return p;
#endif
}

}  // namespace

MovementFile::MovementFile(std::size_t keep) : keep_(keep) {}

MovementFile::~MovementFile() { Close(); }

bool MovementFile::Open(std::string_view path) {
  if (!file_.Open(path)) return false;
  if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize + kLookAhead);
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

// Moves past the terminator at `at`: a CR, an LF, or a CR LF, of which the
// LF may be the first byte of the next block.
void MovementFile::SkipTerminator(const char* at) noexcept {
  pos_ = static_cast<std::size_t>(at - buffer_.get()) + 1;
  if (*at != '\r') return;
  if (pos_ == end_) {
    skipLineFeed_ = true;
  } else if (buffer_[pos_] == '\n') {
    ++pos_;
  }
}

ReadResult MovementFile::ReadLine(std::string_view& line) {
  if (skipLineFeed_) {
    skipLineFeed_ = false;
    if (Fill() && buffer_[pos_] == '\n') ++pos_;
  }
  if (!Fill()) return error_ ? ReadResult::Error : ReadResult::End;

  const char* begin = buffer_.get() + pos_;
  const char* end = buffer_.get() + end_;
  const char* at = FindLineEnd(begin, end);
  if (at != end) {
    // The whole line is in the buffer, as nearly every line is: shown where
    // it lies.
    line = std::string_view(begin, std::min(static_cast<std::size_t>(at - begin), keep_));
    SkipTerminator(at);
    return ReadResult::Line;
  }
  // The line runs on past the buffer: its kept part is gathered apart, so
  // that a read error half-way leaves `line` as it was.
  scratch_.assign(begin, std::min(static_cast<std::size_t>(end - begin), keep_));
  for (;;) {
    pos_ = end_;
    if (!Fill()) {
      if (error_) return ReadResult::Error;
      line = scratch_;
      return ReadResult::Line;
    }
    begin = buffer_.get() + pos_;
    end = buffer_.get() + end_;
    at = FindLineEnd(begin, end);
    if (scratch_.size() < keep_) {
      scratch_.append(begin,
                      std::min(static_cast<std::size_t>(at - begin), keep_ - scratch_.size()));
    }
    if (at != end) {
      line = scratch_;
      SkipTerminator(at);
      return ReadResult::Line;
    }
  }
}

}  // namespace ravuvur
