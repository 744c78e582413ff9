#include "screen/screen_model.h"

#include <algorithm>
#include <string_view>
#include <system_error>
#include <utility>

#include "conversion/run_conversion.h"
#include "core/messages.h"

namespace screen {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A line is the time of day, a space and the message, which starts with
// its three-digit code and a space; the time holds no such group.
std::string_view Message(std::string_view line) {
  for (std::size_t at = 0; at + 4 <= line.size(); ++at) {
    if ((at == 0 || line[at - 1] == ' ') && IsDigit(line[at]) && IsDigit(line[at + 1]) &&
        IsDigit(line[at + 2]) && line[at + 3] == ' ') {
      return line.substr(at);
    }
  }
  return {};
}

bool HasCode(std::string_view message, std::string_view catalogued) {
  return message.substr(0, 4) == catalogued.substr(0, 4);
}

}  // namespace

std::optional<std::size_t> FirstLineToShow(const ravuvur::ProgressLog& log) {
  std::optional<std::size_t> verdict;
  for (std::size_t line = 0; line < log.size(); ++line) {
    const std::string_view message = Message(log.Line(line));
    const std::string_view text = message.substr(std::min<std::size_t>(message.size(), 4));
    if (text.starts_with("ERRO") || text.starts_with("AVISO") ||
        HasCode(message, ravuvur::msg::k010NoFile)) {
      return line;
    }
    if (!verdict && HasCode(message, ravuvur::msg::k011NotConverted)) verdict = line;
  }
  return verdict;
}

std::string Verdict(const ravuvur::ProgressLog& log) {
  for (std::size_t line = log.size(); line-- > 0;) {
    const std::string_view message = Message(log.Line(line));
    if (HasCode(message, ravuvur::msg::k008Success) ||
        HasCode(message, ravuvur::msg::k011NotConverted)) {
      return std::string(message);
    }
  }
  return {};
}

ScreenModel::ScreenModel(DriveSource drives, const FsPath& start)
    : driveSource_(std::move(drives)) {
  // A start folder that cannot be listed is still shown, with no files;
  // one that cannot even be entered gives way to its nearest ancestor that
  // can.
  FsPath folder = AbsoluteFolder(FsPath(), start);
  while (!CanEnter(folder) && folder != folder.root_path()) folder = folder.parent_path();
  Enter(folder);
  driveRoot_ = DriveOf(folder_, driveSource_());
  FillDrives();
}

void ScreenModel::Load() {
  patterns_ = {"*.*", "*.DAT", "*.CSV"};
  SetPattern("*.DAT");
  folderText_ = Shown(folder_);
  appVersion_ = "0.9";
  loaded_ = true;
}

void ScreenModel::Activate() {
  title_ = "KOVA/DTA Conversor " + appVersion_;
  if (activated_) RefreshWhenNotPointed();
  activated_ = true;
}

std::string ScreenModel::AboutText(const std::string& lineBreak) {
  return "KOVA/DTA Conversor" + lineBreak + lineBreak + "Desenvolvido por" + lineBreak +
         "suporte@zizadod5.example.org";
}

bool ScreenModel::OpenFolderLine(std::size_t line) {
  if (line >= folderLines_.size()) return false;
  const FsPath path = folderLines_[line].path;  // Enter() replaces the lines
  return OpenFolder(path);
}

// The drive list follows the folder, onto another drive too.
bool ScreenModel::OpenFolder(const FsPath& path) {
  if (!Enter(AbsoluteFolder(folder_, path), true)) return false;
  const FsPath drive = DriveOf(folder_, driveSource_());
  if (!drive.empty()) driveRoot_ = drive;
  FillDrives();
  return true;
}

void ScreenModel::RefreshDrives() { FillDrives(); }

// The drive's root, whether another drive was chosen or the one already
// shown. A drive that went away since the list was filled leaves
// everything as it was, the drive list included.
bool ScreenModel::ChooseDrive(std::size_t index) {
  if (index >= drives_.size()) return false;
  const FsPath root = drives_[index].name;
  if (!Enter(root, true)) {
    FillDrives();
    return false;
  }
  driveRoot_ = root;
  FillDrives();
  return true;
}

void ScreenModel::SetPattern(const std::string& text) {
  pattern_ = text;
  matcher_ = NamePattern(text);
  ShowFiles(false);
}

void ScreenModel::HighlightFile(std::optional<std::size_t> row) {
  if (row && *row >= shownFiles_.size()) row.reset();
  highlighted_ = row;
  if (row) Choose(InFolder(folder_, file(*row).name));
}

// The path box names `path`, the file chosen.
void ScreenModel::Choose(const FsPath& path) {
  chosenPath_ = path;
  chosenText_ = Shown(chosenPath_);
  pathText_ = chosenText_;
}

void ScreenModel::PressKey(ListKey key, std::size_t pageRows) {
  const std::size_t count = shownFiles_.size();
  if (count == 0) return;
  const std::size_t last = count - 1;
  const std::size_t step = std::max<std::size_t>(pageRows, 2) - 1;
  std::size_t row = 0;
  if (highlighted_) {
    const std::size_t now = *highlighted_;
    switch (key) {
      case ListKey::kUp: row = now == 0 ? 0 : now - 1; break;
      case ListKey::kDown: row = std::min(now + 1, last); break;
      case ListKey::kPageUp: row = now > step ? now - step : 0; break;
      case ListKey::kPageDown: row = std::min(now + step, last); break;
      case ListKey::kHome: row = 0; break;
      case ListKey::kEnd: row = last; break;
    }
  } else if (key == ListKey::kEnd) {
    row = last;
  }
  HighlightFile(row);
}

bool ScreenModel::DoubleClickFile(std::size_t row) {
  if (row >= shownFiles_.size()) return false;
  HighlightFile(row);
  return Convert();
}

void ScreenModel::PointerOverFiles(bool over) {
  pointerOverFiles_ = over;
  if (!over && refreshHeld_) {
    refreshHeld_ = false;
    RefreshFiles();
  }
}

// A text that is no longer the highlighted file's path names another file,
// so the highlight goes.
void ScreenModel::EditPath(const std::string& text) {
  pathText_ = text;
  if (text != chosenText_) highlighted_.reset();
}

// A file's own folder is opened even when it is the one shown, so the list
// holds the file if it was written meanwhile. What the drop names is
// looked at, never opened: a drop costs nothing but the view.
bool ScreenModel::TakesDrop(const std::vector<FsPath>& items) {
  if (items.size() != 1 || !items.front().is_absolute()) return false;
  std::error_code error;
  const std::filesystem::file_status kind = std::filesystem::status(items.front(), error);
  return !error && (std::filesystem::is_directory(kind) || std::filesystem::is_regular_file(kind));
}

bool ScreenModel::Drop(const std::vector<FsPath>& items) {
  if (!TakesDrop(items)) return false;
  const FsPath& item = items.front();
  std::error_code error;
  if (std::filesystem::is_directory(item, error)) return OpenFolder(item);
  if (!OpenFolder(item.parent_path())) return false;
  const FsPath name = item.filename();
  const auto listed = std::find(shownNames_.begin(), shownNames_.end(), name);
  if (listed != shownNames_.end()) {
    HighlightFile(static_cast<std::size_t>(listed - shownNames_.begin()));
  } else {
    // Not taken by the pattern, or hidden: the pattern stays, and the box
    // names the file, as though its path had been typed.
    highlighted_.reset();
    Choose(InFolder(folder_, name));
  }
  return true;
}

FsPath ScreenModel::PathToConvert() const {
  if (!chosenPath_.empty() && pathText_ == chosenText_) return chosenPath_;
  if (pathText_.empty()) return {};
  const FsPath typed = PathOf(pathText_);
  return typed.is_absolute() ? typed : folder_ / typed;
}

bool ScreenModel::Convert() { return ConvertPath(PathToConvert()); }

bool ScreenModel::ConvertPath(const FsPath& path) {
  const FsPath whole = path.empty() || path.is_absolute() ? path : folder_ / path;
  const bool converted = ravuvur::RunConversion(state_, PathBytes(whole));
  logLineToShow_ = FirstLineToShow(state_.log);
  verdict_ = Verdict(state_.log);
  ++logVersion_;
  RefreshWhenNotPointed();
  return converted;
}

// The rows never move under a pointer resting on the file list: the
// refresh waits until it leaves.
void ScreenModel::RefreshWhenNotPointed() {
  if (pointerOverFiles_) {
    refreshHeld_ = true;
  } else {
    RefreshFiles();
  }
}

void ScreenModel::RefreshFiles() {
  FolderContents contents = ReadFolder(folder_);
  if (!contents.listed) return;
  files_ = std::move(contents.files);
  ShowFiles(true);
  ShowFolders(std::move(contents.folders));
}

const FolderEntry& ScreenModel::file(std::size_t row) const { return files_[shownFiles_[row]]; }

FsPath ScreenModel::highlightedPath() const {
  return highlighted_ ? InFolder(folder_, file(*highlighted_).name) : FsPath();
}

bool ScreenModel::Enter(const FsPath& folder, bool mustList) {
  if (!CanEnter(folder)) return false;
  FolderContents contents = ReadFolder(folder);
  if (mustList && !contents.listed) return false;

  folderLines_.clear();
  FsPath level = folder.root_path();
  int depth = 0;
  folderLines_.push_back({level, Shown(level), depth, true});
  for (const FsPath& name : folder.relative_path()) {
    if (name.empty()) continue;
    level /= name;
    folderLines_.push_back({level, Shown(name), ++depth, true});
  }
  currentFolderLine_ = folderLines_.size() - 1;
  ++foldersVersion_;

  const bool sameFolder = folder == folder_;
  folder_ = folder;
  ShowFolders(std::move(contents.folders));
  if (loaded_) folderText_ = Shown(folder_);
  files_ = std::move(contents.files);
  ShowFiles(sameFolder);
  return true;
}

// The subfolders of folder_ under its line, where they differ from those
// shown: an unchanged list keeps its rows and the user's place in it.
void ScreenModel::ShowFolders(std::vector<FolderEntry> folders) {
  const auto subfolders =
      folderLines_.begin() + static_cast<std::ptrdiff_t>(currentFolderLine_) + 1;
  const auto same = [this](const FolderLine& line, const FolderEntry& sub) {
    return line.path == folder_ / sub.name;
  };
  if (std::equal(subfolders, folderLines_.end(), folders.begin(), folders.end(), same)) return;
  folderLines_.erase(subfolders, folderLines_.end());
  const int depth = folderLines_.back().depth + 1;
  for (FolderEntry& sub : folders) {
    folderLines_.push_back({folder_ / sub.name, std::move(sub.shown), depth, false});
  }
  ++foldersVersion_;
}

// Applies the pattern to the files read. A list that would show the same
// names is left as it is, highlight and all: the user sees nothing change.
// Otherwise the highlight stays on the same file when `keep` says so and
// the file is still listed.
void ScreenModel::ShowFiles(bool keep) {
  // The names of the rows shown until now: files_ may have been read anew.
  const std::optional<FsPath> highlightedName =
      highlighted_ ? std::optional<FsPath>(shownNames_[*highlighted_]) : std::nullopt;
  std::vector<std::size_t> shown;
  for (std::size_t at = 0; at < files_.size(); ++at) {
    if (matcher_.Matches(files_[at].key)) shown.push_back(at);
  }
  bool same = shown.size() == shownNames_.size();
  for (std::size_t row = 0; same && row < shown.size(); ++row) {
    same = files_[shown[row]].name == shownNames_[row];
  }
  shownFiles_ = std::move(shown);
  if (same) return;
  shownNames_.clear();
  for (const std::size_t at : shownFiles_) shownNames_.push_back(files_[at].name);
  ++filesVersion_;
  highlighted_.reset();
  if (keep && highlightedName) {
    const auto found = std::find(shownNames_.begin(), shownNames_.end(), *highlightedName);
    if (found != shownNames_.end()) {
      highlighted_ = static_cast<std::size_t>(found - shownNames_.begin());
    }
  }
}

void ScreenModel::FillDrives() {
  drives_ = DriveEntries(driveSource_(), driveRoot_);
  chosenDrive_ = 0;
  for (std::size_t at = 0; at < drives_.size(); ++at) {
    if (drives_[at].name == driveRoot_) chosenDrive_ = at;
  }
  ++drivesVersion_;
}

}  // namespace screen
