#include "core/progress_log.h"

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

void ProgressLog::Append(std::string_view message) {
  // A run logs at most 32767 + 18 lines of a few dozen bytes; 32-bit
  // offsets leave room to spare even for very long paths.
  starts_.push_back(static_cast<std::uint32_t>(text_.size()));
  text_ += timeText_();
  text_ += ' ';
  text_ += message;
  text_ += '\n';
}

void ProgressLog::Reserve(std::size_t lines, std::size_t bytesPerLine) {
  starts_.reserve(starts_.size() + lines);
  text_.reserve(text_.size() + lines * bytesPerLine);
}

void ProgressLog::Clear() noexcept {
  text_.clear();
  starts_.clear();
}

std::string_view ProgressLog::Line(std::size_t index) const noexcept {
  const std::size_t begin = starts_[index];
  const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : text_.size();
  return std::string_view(text_).substr(begin, end - begin - 1);
}

std::vector<std::string> ProgressLog::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(size());
  for (std::size_t i = 0; i < size(); ++i) lines.emplace_back(Line(i));
  return lines;
}

}  // namespace ravuvur
