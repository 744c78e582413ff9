#include "core/progress_log.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>

#include "core/local_time.h"

namespace ravuvur {
namespace {

class LocaleClock {
 public:
  std::string_view operator()() {
    const std::time_t now = std::time(nullptr);
    if (now != rendered_ || length_ == 0) {
      length_ = FormatTimeOfDay(now, text_, sizeof text_);
      rendered_ = now;
    }
    return {text_, length_};
  }

 private:
  std::time_t rendered_ = -1;
  char text_[64] = {};
  std::size_t length_ = 0;
};

}  // namespace

TimeTextSource LocaleTimeText() {
  // std::function needs a copyable target; share the cache between copies.
  auto clock = std::make_shared<LocaleClock>();
  return [clock] { return (*clock)(); };
}

ProgressLog::ProgressLog(TimeTextSource timeText) : timeText_(std::move(timeText)) {}

ProgressLog::ProgressLog(TimeTextSource timeText, LogSink sink)
    : timeText_(std::move(timeText)), sink_(std::move(sink)) {}

void ProgressLog::Grow(std::size_t bytes) {
  const std::size_t capacity =
      std::max({std::size_t{4096}, 2 * capacity_, size_ + bytes + (sink_ ? kPassOnSize : 0)});
  auto grown = std::make_unique_for_overwrite<char[]>(capacity);
  if (size_ > 0) std::memcpy(grown.get(), text_.get(), size_);
  text_ = std::move(grown);
  capacity_ = capacity;
}

char* ProgressLog::BeginLine(std::size_t timeLength, std::size_t bytes) {
  timeLength_ = timeLength;
  // Room first, so that nothing after it can fail half-way through a line.
  if (capacity_ - size_ < bytes) Grow(bytes);
  if (!sink_) {
    // A run logs at most 32767 + 19 lines of a few dozen bytes; 32-bit
    // offsets leave room to spare even for very long paths.
    starts_.push_back(static_cast<std::uint32_t>(size_));
  }
  return text_.get() + size_;
}

void ProgressLog::Flush() {
  if (!sink_ || size_ == 0) return;
  sink_(Text());
  size_ = 0;
}

void ProgressLog::Reserve(std::size_t lines, std::size_t messageBytes) {
  if (sink_) return;
  starts_.reserve(starts_.size() + lines);
  const std::size_t bytes = lines * (timeLength_ + 2 + messageBytes);
  if (capacity_ - size_ < bytes) Grow(bytes);
}

void ProgressLog::Clear() noexcept {
  size_ = 0;
  starts_.clear();
  count_ = 0;
}

std::string_view ProgressLog::Line(std::size_t index) const noexcept {
  const std::size_t begin = starts_[index];
  const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : size_;
  return Text().substr(begin, end - begin - 1);
}

std::vector<std::string> ProgressLog::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(starts_.size());
  for (std::size_t i = 0; i < starts_.size(); ++i) lines.emplace_back(Line(i));
  return lines;
}

}  // namespace ravuvur
