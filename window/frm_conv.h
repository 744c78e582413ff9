#pragma once

#include <QWidget>

#include "core/ravuvur.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class ClickLabel;
class DirList;
class DriveList;
class FileList;
class LogList;

// The program's only window: every control at its fixed place, in its tab
// order, with its colours and fonts, and the module state that conversion
// runs fill. The controls carry their names as object names, so the event
// handlers and the tests find them as `txtConverte`, `cmdOK` and so on.
//
// The class keeps the window's historical name, frmConv, like its controls.
class frmConv : public QWidget {
  Q_OBJECT

 public:
  explicit frmConv(QWidget* parent = nullptr);
  ~frmConv() override;

  // Converts the movement file at `inputPath` (as typed: relative to the
  // working directory) and shows the run's log in lstResultado. Blocks until
  // the run has ended; returns what RunConversion returns.
  bool convert(const QString& inputPath);

  // Shows the log of the last run in lstResultado, from its first line,
  // with nothing selected.
  void showLog();

 private:
  // Declared before the controls: lstResultado reads its log.
  ravuvur::ModuleState state_;

  QFrame* Frame1 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* txtConverte = nullptr;
  FileList* fileDTA = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* cboTipo = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
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
};
