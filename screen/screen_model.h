#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/ravuvur.h"
#include "screen/drives.h"
#include "screen/folder.h"
#include "screen/pattern.h"

namespace screen {

// One line of the folder list: the path from the drive's root down to the
// folder shown, one level per line, then the folder's subfolders.
struct FolderLine {
  FsPath path;  // absolute, as the file system names it
  std::string shown;
  int depth;  // 0 for the root; the subfolders stand one below the folder shown
  bool open;  // on the path to the folder shown (drawn as an open folder)
};

// Keys that move the highlight in the file list.
enum class ListKey { kUp, kDown, kPageUp, kPageDown, kHome, kEnd };

// The window as state: what every control shows and what each event does
// to it, with no drawing. A view draws what the accessors give and passes
// each user action to the matching event function; after each call it
// redraws what changed (the *Version() counters tell which lists did).
//
// The file converted is always the file the user saw: the file list's rows
// never move under a pointer resting on them (a refresh after a run waits
// until the pointer leaves the list), the highlighted file and the path
// box never disagree, and a name typed into the box means a file in the
// folder shown.
class ScreenModel {
 public:
  // Starts in `start` (relative to the working folder), or where the
  // nearest ancestor that can be entered is; the drives come from `drives`.
  explicit ScreenModel(DriveSource drives = MountedRoots, const FsPath& start = FsPath("."));

  // --- Events -----------------------------------------------------------

  // Form_Load: the patterns, "*.DAT" applied, the folder's path in Label4.
  void Load();
  // Form_Activate: the title with the version. Coming back to the window
  // (from another program, or a dialog) reads the folder again, as after a
  // run, so files another program wrote meanwhile are listed; the first
  // activation, right after Load(), does not.
  void Activate();

  // dirDTA: a line of the folder list opened (double click, Enter), or a
  // folder given by path (relative to the folder shown). False, and
  // nothing changed, when it cannot be entered.
  bool OpenFolderLine(std::size_t line);
  bool OpenFolder(const FsPath& path);

  // driveDTA: reads the drives again (when the list opens); then the user
  // chooses one. A drive that cannot be read is not taken.
  void RefreshDrives();
  bool ChooseDrive(std::size_t index);

  // cboTipo: the pattern typed or set (cboTipo_Change), and the focus
  // leaving the box with `text` in it (cboTipo_LostFocus).
  void SetPattern(const std::string& text);

  // fileDTA: the highlighted row changed, by any means (click, keys, drag,
  // Space); nullopt for none. The path box follows.
  void HighlightFile(std::optional<std::size_t> row);
  // Where `key` takes the highlight in a list showing `pageRows` rows at
  // once, highlighting it. Nothing highlighted: End takes the last file,
  // every other key the first.
  void PressKey(ListKey key, std::size_t pageRows);
  // A double click on `row`: highlights it and converts it.
  bool DoubleClickFile(std::size_t row);
  // The pointer came over, or left, the file list.
  void PointerOverFiles(bool over);

  // txtConverte: the user typed or edited the text.
  void EditPath(const std::string& text);

  // A drop from another program, a file manager say: the items dropped,
  // each by its path, an empty one for an item that is no local file. One
  // file shows its folder and is chosen, its path in the box, ready for
  // Ok: highlighted where the pattern lists it, else only named in the
  // box. One folder opens. Anything else (several items, something that is
  // neither a file nor a folder here) changes nothing. A drop never
  // converts. Returns whether it was taken.
  bool Drop(const std::vector<FsPath>& items);
  // Whether a drop of `items` could be taken: one file or folder, named by
  // its whole path. A view asks while the items are dragged over it, so
  // the source learns at once that anything else would be refused.
  static bool TakesDrop(const std::vector<FsPath>& items);

  // cmdOK_Click: converts the file the path box names. Returns what the
  // run returned. Afterwards the file list is read again, at once or, while
  // the pointer rests on it, when it leaves.
  bool Convert();
  // Converts the file at `path` (absolute, or relative to the folder
  // shown), whatever the path box holds, with what Convert() does after.
  bool ConvertPath(const FsPath& path);

  // Reads the folder again, keeping the highlighted file if it is there;
  // the folder list's subfolders too, where they changed.
  void RefreshFiles();

  // --- What the view draws ----------------------------------------------

  const std::string& title() const { return title_; }
  const std::vector<std::string>& patterns() const { return patterns_; }
  const std::string& pattern() const { return pattern_; }

  const FsPath& folder() const { return folder_; }
  const std::string& folderText() const { return folderText_; }  // Label4
  const std::vector<FolderLine>& folderLines() const { return folderLines_; }
  std::size_t currentFolderLine() const { return currentFolderLine_; }

  const std::vector<FolderEntry>& drives() const { return drives_; }
  std::size_t chosenDrive() const { return chosenDrive_; }
  const FsPath& driveRoot() const { return driveRoot_; }

  std::size_t fileCount() const { return shownFiles_.size(); }
  const FolderEntry& file(std::size_t row) const;
  std::optional<std::size_t> highlightedFile() const { return highlighted_; }
  // The highlighted file's full path; empty when none.
  FsPath highlightedPath() const;

  const std::string& pathText() const { return pathText_; }  // txtConverte
  // The file the path box names: the highlighted file, or the typed name
  // in the folder shown.
  FsPath PathToConvert() const;

  const ravuvur::ProgressLog& log() const { return state_.log; }
  // The log line to bring into sight after the last run (see
  // FirstLineToShow); nullopt, the log from its top, after a clean run.
  std::optional<std::size_t> logLineToShow() const { return logLineToShow_; }
  // The last run's verdict as a screen reader says it when the run ends:
  // its 008 or 011 line without the time of day. Empty before any run.
  const std::string& verdict() const { return verdict_; }

  // Change counters: each grows when that list's rows change.
  unsigned filesVersion() const { return filesVersion_; }
  unsigned foldersVersion() const { return foldersVersion_; }
  unsigned drivesVersion() const { return drivesVersion_; }
  unsigned logVersion() const { return logVersion_; }

  static std::string AboutText(const std::string& lineBreak);
  static constexpr const char* kAboutCaption = "ZIZADOD5";

 private:
  // Shows `folder`; false, and nothing changed, when it cannot be entered,
  // or, if `mustList`, read.
  bool Enter(const FsPath& folder, bool mustList = false);
  void RefreshWhenNotPointed();
  void ShowFolders(std::vector<FolderEntry> folders);
  void ShowFiles(bool keep);
  void FillDrives();
  void Choose(const FsPath& path);

  DriveSource driveSource_;
  ravuvur::ModuleState state_;

  std::string title_ = "KOVA/DTA Conversor";
  std::string appVersion_;
  std::vector<std::string> patterns_;
  std::string pattern_ = "*.*";
  NamePattern matcher_;

  FsPath folder_;
  std::string folderText_ = "diretorio aqui";
  std::vector<FolderLine> folderLines_;
  std::size_t currentFolderLine_ = 0;
  std::vector<FolderEntry> files_;          // every file of the folder, read once
  std::vector<std::size_t> shownFiles_;     // those the pattern takes
  std::vector<FsPath> shownNames_;          // their names, for telling a change
  std::optional<std::size_t> highlighted_;  // a row of shownFiles_

  FsPath driveRoot_;
  std::vector<FolderEntry> drives_;
  std::size_t chosenDrive_ = 0;

  std::string pathText_;
  FsPath chosenPath_;  // the file whose shown path pathText_ holds
  std::string chosenText_;

  bool loaded_ = false;
  bool activated_ = false;
  bool pointerOverFiles_ = false;
  bool refreshHeld_ = false;
  std::optional<std::size_t> logLineToShow_;
  std::string verdict_;

  unsigned filesVersion_ = 0;
  unsigned foldersVersion_ = 0;
  unsigned drivesVersion_ = 0;
  unsigned logVersion_ = 0;
};

// The first line of a run's log that the user must not miss: its first
// warning or error line (AVISO, ERRO), else the line of a missing name,
// else a failed run's verdict (011). nullopt for a clean run.
std::optional<std::size_t> FirstLineToShow(const ravuvur::ProgressLog& log);

// A run's verdict line (008 or 011) from its code on; empty where there is
// none.
std::string Verdict(const ravuvur::ProgressLog& log);

}  // namespace screen
