#pragma once

#include <QComboBox>

// driveDTA: a drop-down of the machine's drives, one of them chosen. Where
// there are no drive letters the drives are the file-system roots and
// mount points. At creation the chosen drive is the one holding the
// working directory.
class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(QWidget* parent = nullptr);

  // The chosen drive's root directory, e.g. "/", "/media/stick" or "C:\".
  QString drive() const;

  // Chooses the drive that holds `path`. Returns false and keeps the
  // chosen drive when no drive holds it or that drive cannot be read.
  bool setDrive(const QString& path);

  // Shows the drive that holds `path` as the chosen one, without reporting
  // a change: for putting the list back when the drive just chosen could
  // not be opened after all.
  void showDriveOf(const QString& path);

 signals:
  // Another drive was chosen, by the user or through setDrive().
  void driveChanged(const QString& drive);

 protected:
  // A medium may have come or gone since the list was last filled.
  void showPopup() override;

 private:
  void fill();
  void choose(int index);

  QString chosenRoot_;  // in Qt's form, with slashes
};
