#include "report/file_reading.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "conversion/count_value.h"
#include "core/messages.h"
#include "core/text.h"

namespace report {
namespace {

namespace msg = ravuvur::msg;

// Files read ahead of the one handed over, for each thread: room for the
// others to go on while one reads a big file, and for the hand-over to
// find most files read without waiting (each file's count is a few
// hundred bytes when it holds one station's day).
constexpr std::size_t kReadsAheadPerThread = 32;
// Station-days of the files read and not yet handed over, at most about
// this many (a few megabytes) and a file's more for each thread: beyond
// it no file is started until the one being read before them is handed
// over, so files of many days each (a file may hold 32767) cannot fill
// memory while a big one before them is still being read. With nothing
// held, the next file is the next to hand over: it always starts.
constexpr std::size_t kHeldStationDays = 8192;

// A log message's literal when no value follows it: "021 ERRO ao abrir o
// arquivo de entrada", without the separator that would lead to the path.
std::string Literal(std::string_view literal) {
  if (literal.ends_with(": ")) literal.remove_suffix(2);
  return std::string(literal);
}

// Several threads read, this one among them; whichever finishes the file
// next in order hands it over, with every file read after it that is
// ready, one thread at a time: nobody waits on a hand-over.
class OrderedReads {
 public:
  OrderedReads(std::size_t count, const std::function<const std::string*(std::size_t)>& path,
               const std::function<void(std::size_t, FileRead&)>& take, std::size_t threads)
      : count_(count), path_(path), take_(take), slots_(threads * kReadsAheadPerThread) {}

  void Run(std::size_t threads) {
    std::vector<std::thread> helpers;
    try {
      for (std::size_t k = 1; k < threads; ++k) helpers.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {  // no more threads: those there are do it
    } catch (const std::bad_alloc&) {
    }
    Work();
    for (std::thread& helper : helpers) helper.join();
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  struct Slot {
    FileRead read;
    bool done = false;
    std::exception_ptr failure;  // memory ran out reading it
  };

  void Work() {
    ravuvur::MovementFile file(ravuvur::kLastColumnRead);
    std::unique_lock lock(mutex_);
    while (!failure_ && next_ < count_) {
      if (next_ - taken_ == slots_.size() || held_ > kHeldStationDays) {
        roomFreed_.wait(lock);
        continue;
      }
      const std::size_t index = next_++;
      Slot& slot = slots_[index % slots_.size()];
      lock.unlock();
      try {
        slot.read.Clear();
        if (const std::string* path = path_(index)) ReadMovementFile(*path, file, slot.read);
      } catch (...) {
        slot.failure = std::current_exception();
      }
      lock.lock();
      slot.done = true;
      held_ += slot.read.tally.Days().size();
      if (!handing_) HandOverReady(lock);
    }
    roomFreed_.notify_all();  // the others see the end, or the failure
  }

  // With the lock held: hands over, in order, every file read.
  void HandOverReady(std::unique_lock<std::mutex>& lock) {
    handing_ = true;
    const std::size_t before = taken_;
    while (!failure_ && taken_ < count_ && slots_[taken_ % slots_.size()].done) {
      Slot& slot = slots_[taken_ % slots_.size()];
      const std::size_t days = slot.read.tally.Days().size();
      lock.unlock();
      std::exception_ptr failure = std::exchange(slot.failure, nullptr);
      try {
        if (!failure) take_(taken_, slot.read);
      } catch (...) {
        failure = std::current_exception();
      }
      lock.lock();
      if (failure) failure_ = failure;
      held_ -= days;
      slot.done = false;
      ++taken_;
    }
    handing_ = false;
    if (taken_ != before || failure_) roomFreed_.notify_all();
  }

  const std::size_t count_;
  const std::function<const std::string*(std::size_t)>& path_;
  const std::function<void(std::size_t, FileRead&)>& take_;
  std::vector<Slot> slots_;  // file i in slot i % size: at most size read ahead

  std::mutex mutex_;
  std::condition_variable roomFreed_;  // readers wait on it for a free slot
  std::size_t next_ = 0;               // the next file to read
  std::size_t taken_ = 0;              // files handed over
  std::size_t held_ = 0;               // station-days of the files read, not yet handed over
  bool handing_ = false;               // a thread is handing over
  std::exception_ptr failure_;         // the first failure: no file is read after it
};

}  // namespace

void FileRead::Clear() noexcept {
  opened = counted = false;
  identity = {};
  note.clear();
  tally.Clear();
}

void ReadMovementFile(const std::string& path, ravuvur::MovementFile& file, FileRead& into) {
  if (!file.Open(path)) {
    into.note = Literal(msg::k021CannotOpenInput);
    return;
  }
  into.opened = true;
  into.identity = file.Identity();

  // The header, then the records it announces, read as a conversion reads
  // them; a file that fails on the way adds nothing.
  std::string_view line;
  if (file.ReadLine(line) == ravuvur::ReadResult::Error) {
    file.Close();
    into.note = Literal(msg::k028CannotReadInput);
    return;
  }
  const std::string countText(
      ravuvur::FieldAt(line, ravuvur::kCountTextColumn, ravuvur::kCountTextWidth));
  const auto countShown = [&countText] {
    return ravuvur::ShownInLog(ravuvur::Windows1252ToUtf8(countText));
  };
  const std::optional<std::int16_t> count = ravuvur::CountValue(countText);
  if (!count) {
    file.Close();
    into.note = std::string(msg::k026CountOutOfRange) + countShown();
    return;
  }
  for (int i = 1; i <= *count; ++i) {
    const ravuvur::ReadResult read = file.ReadLine(line);
    if (read == ravuvur::ReadResult::Error) {
      file.Close();
      into.tally.Clear();
      into.note = Literal(msg::k028CannotReadInput);
      return;
    }
    if (read == ravuvur::ReadResult::End) {
      into.note = std::string(msg::k027EarlyEnd) + std::to_string(i) + std::string(msg::k007Of) +
                  countShown();
      break;
    }
    into.tally.Count(line);
  }
  file.Close();
  into.counted = true;
}

void ReadInOrder(std::size_t count, std::size_t threads,
                 const std::function<const std::string*(std::size_t)>& path,
                 const std::function<void(std::size_t, FileRead&)>& take) {
  const std::size_t used = std::max<std::size_t>(1, std::min(threads, count));
  OrderedReads(count, path, take, used).Run(used);
}

}  // namespace report
