#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/byte_buffer.h"
#include "core/copy_bytes.h"

namespace ravuvur {

// Gives the time-of-day text put in front of each log line. Called once per
// line; the view must stay valid until the next call.
using TimeTextSource = std::function<std::string_view()>;

// The local time of day in the user's locale (see FormatTimeOfDay). The
// clock is read for every line; the text is rendered again only when the
// second changes.
TimeTextSource LocaleTimeText();

// Receives a passing log's text: whole lines, each followed by a line feed.
using LogSink = std::function<void(std::string_view lines)>;

// The progress log: time-stamped lines in the order they were logged. The
// log has no size limit of its own and is emptied only by ClearLog. Lines
// are UTF-8 and kept in one buffer, each followed by a line feed, so a run
// of 32767 records does not cost one allocation per line.
//
// A passing log (one made with a sink) keeps no lines: it hands them to the
// sink in blocks as they come and all of them on Flush, which the run calls
// before it returns. A program that prints the log thus holds a few
// kilobytes of it at a time, however long the run.
class ProgressLog {
 public:
  explicit ProgressLog(TimeTextSource timeText = LocaleTimeText());
  ProgressLog(TimeTextSource timeText, LogSink sink);

  // Time text, one space, the message made of `parts` (texts) in order. On
  // failure (out of memory) the log is as it was.
  template <typename... Parts>
  void Append(const Parts&... parts) {
    const std::string_view time = timeText_();
    const std::size_t bytes = time.size() + 2 + (std::string_view(parts).size() + ... + 0);
    char* p = BeginLine(time.size(), bytes);
    p = CopyBytes(p, time);
    *p++ = ' ';
    ((p = CopyBytes(p, parts)), ...);
    *p++ = '\n';
    EndLine(p);
  }
  void Clear() noexcept;
  // Hands what a passing log holds to its sink; nothing for a keeping log.
  void Flush();
  // Makes room for `lines` more lines of messages of about `messageBytes`
  // bytes each, so a long run does not copy the log over and over as it
  // grows.
  void Reserve(std::size_t lines, std::size_t messageBytes);

  // Lines appended since the log was last cleared.
  std::size_t size() const noexcept { return count_; }
  bool empty() const noexcept { return count_ == 0; }
  // Line `index` (0-based) without its line feed; only for a keeping log.
  std::string_view Line(std::size_t index) const noexcept;
  // The lines held, each followed by a line feed: every line of a keeping
  // log, what a passing log has not yet handed on.
  std::string_view Text() const noexcept { return text_.View(); }
  std::vector<std::string> Lines() const;

 private:
  // Makes room for a line of `bytes` bytes and returns where it goes;
  // EndLine takes where it ended.
  char* BeginLine(std::size_t timeLength, std::size_t bytes);
  void EndLine(const char* end) {
    text_.EndAt(end);
    ++count_;
    if (sink_ && text_.size() >= kPassOnSize) Flush();
  }

  // A passing log hands its text on in blocks of about this size.
  static constexpr std::size_t kPassOnSize = std::size_t{64} * 1024;

  TimeTextSource timeText_;
  LogSink sink_;
  ByteBuffer text_;                    // the lines, one after the other
  std::vector<std::uint32_t> starts_;  // where each line begins in text_, when kept
  std::size_t count_ = 0;
  std::size_t timeLength_ = 8;  // of the last time text, to size reservations
};

// The run's two operations on the log. A message is one text, or the
// texts it is made of (a literal and its values).
template <typename... Parts>
void LogMessage(ProgressLog& log, const Parts&... parts) {
  log.Append(parts...);
}
inline void ClearLog(ProgressLog& log) noexcept { log.Clear(); }

}  // namespace ravuvur
