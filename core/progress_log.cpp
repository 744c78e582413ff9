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

// A passing log hands its text on in blocks of about this size.
constexpr std::size_t kPassOnSize = std::size_t{64} * 1024;

ProgressLog::ProgressLog(TimeTextSource timeText) : timeText_(std::move(timeText)) {}

ProgressLog::ProgressLog(TimeTextSource timeText, LogSink sink)
    : timeText_(std::move(timeText)), sink_(std::move(sink)) {
  text_.reserve(kPassOnSize + 4096);
}

void ProgressLog::Append(std::string_view message) {
  const std::string_view time = timeText_();
  timeLength_ = time.size();
  // Room first, so that nothing below can fail half-way through a line.
  text_.reserve(text_.size() + time.size() + message.size() + 2);
  if (!sink_) {
    // A run logs at most 32767 + 19 lines of a few dozen bytes; 32-bit
    // offsets leave room to spare even for very long paths.
    starts_.push_back(static_cast<std::uint32_t>(text_.size()));
  }
  text_ += time;
  text_ += ' ';
  text_ += message;
  text_ += '\n';
  ++count_;
  if (sink_ && text_.size() >= kPassOnSize) Flush();
}

void ProgressLog::Flush() {
  if (!sink_ || text_.empty()) return;
  sink_(text_);
  text_.clear();
}

void ProgressLog::Reserve(std::size_t lines, std::size_t messageBytes) {
  if (sink_) return;
  starts_.reserve(starts_.size() + lines);
  text_.reserve(text_.size() + lines * (timeLength_ + 2 + messageBytes));
}

void ProgressLog::Clear() noexcept {
  text_.clear();
  starts_.clear();
  count_ = 0;
}

std::string_view ProgressLog::Line(std::size_t index) const noexcept {
  const std::size_t begin = starts_[index];
  const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : text_.size();
  return std::string_view(text_).substr(begin, end - begin - 1);
}

std::vector<std::string> ProgressLog::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(starts_.size());
  for (std::size_t i = 0; i < starts_.size(); ++i) lines.emplace_back(Line(i));
  return lines;
}

}  // namespace ravuvur
