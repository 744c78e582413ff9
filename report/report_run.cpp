#include "report/report_run.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <system_error>
#include <thread>
#include <utility>

#include "conversion/csv_file.h"
#include "core/text.h"
#include "report/folder_listing.h"
#include "report/report_csv.h"
#include "report/summary.h"

namespace report {
namespace {

// Threads reading files at most: opening and reading many small files is
// mostly the kernel's work, which more threads than a few only contend on.
constexpr unsigned kMostReadingThreads = 4;

bool IsHidden(std::string_view name) noexcept { return name.starts_with('.'); }

// A report file's rows go to the new file the commit holds.
class CommitSink : public ByteSink {
 public:
  explicit CommitSink(ravuvur::CsvFile& file) : file_(file) {}
  void Write(std::string_view bytes) override {
    char* room = file_.Room(bytes.size());
    if (!bytes.empty()) std::memcpy(room, bytes.data(), bytes.size());
    file_.Wrote(room + bytes.size());
  }

 private:
  ravuvur::CsvFile& file_;
};

constexpr std::array<std::string_view, 3> kNames = {kDailyCsvName, kHourlyCsvName, kPageName};

// Makes `file` ready to take the place of `name` in `folder`, refusing the
// inputs; false with `failure` when it cannot.
bool Create(ravuvur::CsvFile& file, std::string_view folder, std::string_view name,
            std::span<const ravuvur::FileIdentity> inputs, std::string& failure) {
  const std::string path = InFolder(folder, name);
  switch (file.Create(path, inputs)) {
    case ravuvur::CsvFile::CreateResult::Created: return true;
    case ravuvur::CsvFile::CreateResult::SameAsInput:
      failure = ravuvur::ShownInLog(path) + ": it is one of the inputs";
      break;
    case ravuvur::CsvFile::CreateResult::CannotCreate:
      failure = ravuvur::ShownInLog(path) + ": " + file.FailureReason();
      break;
    case ravuvur::CsvFile::CreateResult::NotThisRuns: break;  // no claims are made here
  }
  return false;
}

// Whether all three files could be made, trying each in turn and keeping
// none.
bool CanCreateAll(std::string_view folder, std::span<const ravuvur::FileIdentity> inputs,
                  std::string& failure) {
  ravuvur::CsvFile file;
  for (const std::string_view name : kNames) {
    if (!Create(file, folder, name, inputs, failure)) return false;
    file.Discard();
  }
  return true;
}

void WriteContent(std::size_t which, const ReportReader& read, ByteSink& out) {
  switch (which) {
    case 0: WriteDailyCsv(read.tally(), out); break;
    case 1: WriteHourlyCsv(read.tally(), out); break;
    default: WritePage(read.tally(), Summarize(read.tally()), read.facts(), out); break;
  }
}

}  // namespace

bool NamedLikeMovementFile(std::string_view path) noexcept {
  if (path.size() < 4) return false;
  const std::string_view end = path.substr(path.size() - 4);
  constexpr std::string_view kLower = ".dat";
  for (std::size_t k = 0; k < 4; ++k) {
    const char c = end[k];
    const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != kLower[k]) return false;
  }
  return true;
}

ReportReader::ReportReader(NoteSink onNote) : onNote_(std::move(onNote)) {}

void ReportReader::Read(std::span<const std::string> inputs) {
  std::vector<Item> items;
  for (const std::string& input : inputs) {
    if (!NamedLikeMovementFile(input) && IsFolder(input)) {
      AddFolder(input, items);
    } else {
      items.push_back({input, {}});
    }
  }
  const unsigned cores = std::thread::hardware_concurrency();
  ReadInOrder(
      items.size(), std::min(cores == 0 ? 1u : cores, kMostReadingThreads),
      [&items](std::size_t k) {
        return items[k].listingFailure.empty() ? &items[k].path : nullptr;
      },
      [this, &items](std::size_t k, FileRead& read) { Take(items[k], read); });
}

void ReportReader::AddFolder(const std::string& folder, std::vector<Item>& items) const {
  std::string reason;
  std::optional<std::vector<std::string>> names = NamesIn(folder, reason);
  if (!names) {
    items.push_back({folder, "ERRO ao ler a pasta: " + reason});
    return;
  }
  // Hidden files are left out, as the window and a shell's *.DAT leave
  // them out: editors and copies keep their own leftovers there. The
  // order is the one a reader of the folder expects: letter case ignored,
  // then the bytes, so that it is the same every time.
  std::vector<std::pair<std::string, std::string>> byName;  // upper case, name
  for (std::string& name : *names) {
    if (!IsHidden(name) && NamedLikeMovementFile(name)) {
      byName.emplace_back(ravuvur::UpperCase(name), std::move(name));
    }
  }
  std::sort(byName.begin(), byName.end());
  for (const auto& entry : byName) items.push_back({InFolder(folder, entry.second), {}});
}

void ReportReader::Take(const Item& item, FileRead& read) {
  if (!item.listingFailure.empty()) {
    Note(item.path, item.listingFailure, false);
    return;
  }
  if (read.opened) {
    if (!seen_.insert(read.identity).second) return;  // named before: counted, or not, once
    inputs_.push_back(read.identity);
  }
  if (!read.note.empty()) Note(item.path, std::move(read.note), read.counted);
  if (read.counted) {
    tally_.Add(read.tally);
    ++facts_.filesCounted;
  }
}

void ReportReader::Note(const std::string& path, std::string message, bool counted) {
  // An empty name shows as the shell would take it back.
  FileNote note{path.empty() ? "''" : ravuvur::ShownInLog(path), std::move(message)};
  if (onNote_) onNote_(note, counted);
  if (!counted) facts_.filesNotCounted.push_back(std::move(note));
}

bool CanWriteReport(std::string_view folder, std::string& failure) {
  return CanCreateAll(folder, {}, failure);
}

bool WriteReport(std::string_view folder, const ReportReader& read, std::string& failure) {
  // Every file is made ready before the first is written, so what can be
  // known to fail (the folder, a name that is an input) changes nothing.
  std::array<ravuvur::CsvFile, kNames.size()> files;
  std::array<ravuvur::CsvFile*, kNames.size()> all{};
  for (std::size_t k = 0; k < kNames.size(); ++k) {
    if (!Create(files[k], folder, kNames[k], read.inputs(), failure)) return false;
    all[k] = &files[k];
  }
  // Then all three are written and take their places together: an earlier
  // report is replaced by a whole new one or stays whole.
  // The page, the largest, is made and flushed on a thread of its own
  // meanwhile.
  const auto write = [&](std::size_t k) {
    CommitSink sink(files[k]);
    WriteContent(k, read, sink);
    files[k].Complete();
  };
  std::exception_ptr pageFailure;
  {
    std::jthread page;
    try {
      page = std::jthread([&] {
        try {
          write(2);
        } catch (...) {
          pageFailure = std::current_exception();
        }
      });
    } catch (const std::system_error&) {  // no thread to be had: this one makes it
    }
    write(0);
    write(1);
    if (!page.joinable()) write(2);
  }
  if (pageFailure) std::rethrow_exception(pageFailure);
  const auto outcome = ravuvur::CsvFile::CommitTogether(all);
  if (outcome.result == ravuvur::CsvFile::CommitResult::Committed) return true;
  failure = ravuvur::ShownInLog(InFolder(folder, kNames[outcome.failed])) + ": " +
            files[outcome.failed].FailureReason();
  // Only a rename refused in the last step (a file system gone read-only)
  // can part them.
  std::string placed;
  for (std::size_t k = 0; k < outcome.placed; ++k) {
    placed += (placed.empty() ? "" : ", ") + std::string(kNames[k]);
  }
  if (!placed.empty()) failure += " (written: " + placed + ")";
  return false;
}

}  // namespace report
