#pragma once

#include <QWidget>

#include "screen/screen_model.h"
#include "window/qt/drive_list.h"
#include "window/qt/folder.h"

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

class ClickLabel;
class DirList;
class FileList;
class LogList;
class PathBox;
class PathLabel;
class PatternBox;
class VerdictNotice;

// The program's only window, a view of the screen model: every control at
// its fixed place, in its tab order, with its colours and fonts, showing
// what the model holds and passing it what the user does. The controls carry their names as object
// names, so the event handlers and the tests find them as `txtConverte`, `cmdOK` and so on.
//
// The window loads (fills the pattern box, shows the start directory) just
// before it is first shown, so a window that is only created shows every
// control as created. Closing the window destroys it, which ends the
// program: make it with new.
//
// The class keeps the window's historical name, frmConv, like its controls
// and its event handlers (control, underscore, event).
class frmConv : public QWidget {
  Q_OBJECT

 public:
  // `driveRoots` gives the drives that driveDTA offers.
  explicit frmConv(DriveRoots driveRoots = MountedRoots, QWidget* parent = nullptr);
  ~frmConv() override;

  // Converts the movement file at `inputPath` (absolute, or relative to the
  // folder shown) and shows the run's log in lstResultado. Blocks until the
  // run has ended; returns what RunConversion returns.
  bool convert(const FsPath& inputPath);

  // Shows the log of the last run in lstResultado, with nothing selected:
  // from its first line, or scrolled just far enough to show its first
  // warning or error; and has screen readers say the run's verdict.
  void showLog();

 protected:
  // Loading and activation reach the window as events; see the handlers.
  bool event(QEvent* event) override;
  // A file or folder dragged from a file manager onto the window: the
  // model says what the drop means; it converts nothing.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // The event handlers. Each moves texts between controls or starts a run;
  // what they answer to is wired in the constructor.
  void Form_Load();
  void Form_Activate();
  void Form_Terminate();
  void driveDTA_Change();
  void dirDTA_Change();
  void cboTipo_Change();
  void cboTipo_LostFocus();
  void fileDTA_Click();
  void fileDTA_DblClick();
  void cmdOK_Click();
  void Label6_Click();

  void txtConverte_Change();
  // Shows the folder the model has now: its lines, files, path and drive.
  void showFolder();

  // Set when the window loads; the version in the title is the model's.
  QString LineBreak;  // between the lines of the about text
  bool loaded_ = false;

  // Declared before the controls, which show it.
  screen::ScreenModel model_;

  QFrame* Frame1 = nullptr;
  QLabel* Label1 = nullptr;
  PathBox* txtConverte = nullptr;
  FileList* fileDTA = nullptr;
  QLabel* Label2 = nullptr;
  PatternBox* cboTipo = nullptr;
  QLabel* Label3 = nullptr;
  PathLabel* Label4 = nullptr;
  DirList* dirDTA = nullptr;
  QLabel* Label5 = nullptr;
  LogList* lstResultado = nullptr;
  DriveList* driveDTA = nullptr;
  ClickLabel* Label6 = nullptr;
  QFrame* Frame2 = nullptr;
  QPushButton* cmdOK = nullptr;
  QRadioButton* Option1 = nullptr;
  QRadioButton* Option2 = nullptr;
  QRadioButton* Option3 = nullptr;
  QRadioButton* Option4 = nullptr;
  QRadioButton* Option5 = nullptr;
  VerdictNotice* verdictNotice_ = nullptr;
};
