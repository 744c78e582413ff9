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

// A keeping log starts small; a passing log is sized for the block it
// hands on, and a line that ends past it.
ProgressLog::ProgressLog(TimeTextSource timeText) : timeText_(std::move(timeText)), text_(4096) {}

ProgressLog::ProgressLog(TimeTextSource timeText, LogSink sink)
    : timeText_(std::move(timeText)), sink_(std::move(sink)), text_(kPassOnSize + 4096) {}

char* ProgressLog::BeginLine(std::size_t timeLength, std::size_t bytes) {
  timeLength_ = timeLength;
  // Room first, so that nothing after it can fail half-way through a line.
  char* line = text_.Room(bytes);
  if (!sink_) {
    // A run logs at most 32767 + 19 lines of a few dozen bytes; 32-bit
    // offsets leave room to spare even for very long paths.
    starts_.push_back(static_cast<std::uint32_t>(text_.size()));
  }
  return line;
}

void ProgressLog::Flush() {
  if (!sink_ || text_.size() == 0) return;
  sink_(Text());
  text_.Clear();
}

void ProgressLog::Reserve(std::size_t lines, std::size_t messageBytes) {
  if (sink_) return;
  starts_.reserve(starts_.size() + lines);
  text_.Room(lines * (timeLength_ + 2 + messageBytes));
}

void ProgressLog::Clear() noexcept {
  text_.Clear();
  starts_.clear();
  count_ = 0;
}

std::string_view ProgressLog::Line(std::size_t index) const noexcept {
  const std::size_t begin = starts_[index];
  const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : text_.size();
  return Text().substr(begin, end - begin - 1);
}

std::vector<std::string> ProgressLog::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(starts_.size());
  for (std::size_t i = 0; i < starts_.size(); ++i) lines.emplace_back(Line(i));
  return lines;
}

}  // namespace ravuvur
