#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ravuvur {

// Gives the time-of-day text put in front of each log line. Called once per
// line; the view must stay valid until the next call.
using TimeTextSource = std::function<std::string_view()>;

// The local time of day in the user's locale (see FormatTimeOfDay). The
// clock is read for every line; the text is rendered again only when the
// second changes.
TimeTextSource LocaleTimeText();

// The progress log: time-stamped lines in the order they were logged. The
// log has no size limit of its own and is emptied only by ClearLog. Lines
// are UTF-8 and kept in one buffer, each followed by a line feed, so a run
// of 32767 records does not cost one allocation per line.
class ProgressLog {
 public:
  explicit ProgressLog(TimeTextSource timeText = LocaleTimeText());

  // Time text, one space, the message.
  void Append(std::string_view message);
  void Clear() noexcept;
  // Makes room for `lines` more lines of about `bytesPerLine` bytes each,
  // so a long run does not copy the log over and over as it grows.
  void Reserve(std::size_t lines, std::size_t bytesPerLine);

  std::size_t size() const noexcept { return starts_.size(); }
  bool empty() const noexcept { return starts_.empty(); }
  // Line `index` (0-based) without its line feed.
  std::string_view Line(std::size_t index) const noexcept;
  // Every line, each followed by a line feed.
  std::string_view Text() const noexcept { return text_; }
  std::vector<std::string> Lines() const;

 private:
  TimeTextSource timeText_;
  std::string text_;
  std::vector<std::uint32_t> starts_;  // where each line begins in text_
};

// The run's two operations on the log.
inline void LogMessage(ProgressLog& log, std::string_view message) { log.Append(message); }
inline void ClearLog(ProgressLog& log) noexcept { log.Clear(); }

}  // namespace ravuvur
