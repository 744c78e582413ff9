// The window in use: what it shows once loaded, choosing files, folders,
// drives and patterns, converting with Ok or a double click, the about box,
// the title, and closing. Every step is a real mouse or key event on a
// scratch folder, the window's working directory.

#include <sys/fsuid.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpontaneKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "tests/window/window_files.h"
#include "window/qt/dir_list.h"
#include "window/qt/drive_list.h"
#include "window/qt/file_list.h"
#include "window/qt/folder.h"
#include "window/qt/frm_conv.h"
#include "window/qt/pattern_box.h"

namespace {

constexpr int kRecords = 40;  // more log lines than lstResultado shows at once
const QStringList kDatFiles = {"MOV0612.DAT", "mov0712.dat"};
const QString kOldCsv = QStringLiteral("OLD.CSV");
const QByteArray kOldCsvBytes = "\"06/12/2026\",\"07:05\",\"DEP\"\r\n";

// Names that are not UTF-8, as ISO-8859-1 "movção.dat" and "pastaç", and
// how the lists show them: a stand-in for each byte that is not text.
const char* const kOddFile = "mov\xe7\xe3o.dat";
const char* const kOddFolder = "pasta\xe7";
const QString kOddFileShown = QStringLiteral("mov\u2039E7\u203A\u2039E3\u203Ao.dat");
const QString kOddFolderShown = QStringLiteral("pasta\u2039E7\u203A");

// Fits in Label4 alone, but not after the start folder's path.
const QString kLongFolder = QStringLiteral("movimentos de dezembro de 2026");

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

QStringList LogLines(const QListView& list) {
  QStringList lines;
  for (int row = 0; row < list.model()->rowCount(); ++row) {
    lines.append(list.model()->index(row, 0).data().toString());
  }
  return lines;
}

bool HasLineEndingWith(const QStringList& lines, const QString& end) {
  return std::any_of(lines.cbegin(), lines.cend(),
                     [&end](const QString& line) { return line.endsWith(end); });
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// As the mouse does it: press, release, double click (the second press),
// release, with the time stamps of a real double click (QTest's clicks lie
// too far apart to make one); `betweenClicks` runs where the event loop
// would.
void DoubleClick(
    QWidget* viewport, QPoint at, const std::function<void()>& betweenClicks = [] {}) {
  static quint64 time = 0;  // ms
  const auto send = [viewport, at](QEvent::Type type, Qt::MouseButtons down, int after) {
    time += static_cast<quint64>(after);
    QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton, down, Qt::NoModifier);
    event.setTimestamp(time);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::instance()->notify(viewport, &event);
  };
  send(QEvent::MouseButtonPress, Qt::LeftButton, 1000);
  send(QEvent::MouseButtonRelease, Qt::NoButton, 60);
  betweenClicks();
  send(QEvent::MouseButtonDblClick, Qt::LeftButton, 60);
  send(QEvent::MouseButtonRelease, Qt::NoButton, 60);
}

// One notch of the mouse wheel away from the user, over `widget`.
void WheelUp(QWidget* widget) {
  const QPointF at = QRectF(widget->rect()).center();
  QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QSpontaneKeyEvent::setSpontaneous(&wheel);
  QApplication::instance()->notify(widget, &wheel);
}

}  // namespace

class WindowEventsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void loadedWindowShowsTheDatFilesOfTheStartFolder();

  void choosingAFileFillsThePathBoxOnly_data();
  void choosingAFileFillsThePathBoxOnly();
  void aFileInTheRootGetsTwoSeparators();
  void convertingTheChosenFile_data();
  void convertingTheChosenFile();
  void okConvertsATypedPath();
  void doubleClickOnACsvLeavesItIntact();

  void typedPatternListsItsFiles_data();
  void typedPatternListsItsFiles();
  void typedPatternTakesEffectAtEachKeystroke();
  void chosenPatternTakesEffectWhenTheBoxLosesTheFocus_data();
  void chosenPatternTakesEffectWhenTheBoxLosesTheFocus();

  void openingAFolderListsItsFilesAndShowsItsPath_data();
  void openingAFolderListsItsFilesAndShowsItsPath();
  void aFolderThatCannotBeListedChangesNothing_data();
  void aFolderThatCannotBeListedChangesNothing();
  void choosingAnotherDriveBrowsesItsRoot();
  void driveListOpensBelowItsBox();
  void wheelChangesTheDriveOnlyWithTheFocus_data();
  void wheelChangesTheDriveOnlyWithTheFocus();
  void driveListFollowsTheFolderShown();
  void choosingTheShownDriveGoesToItsRoot();

  void aSecondDoubleClickConvertsWhatWasUnderThePointer();
  void aDragChoosesTheFileItEndsOn();
  void otherButtonsLeaveTheChoice_data();
  void otherButtonsLeaveTheChoice();
  void aTypedNameIsTakenInTheFolderShown();
  void patternListOpensOnTheEntryShown();
  void aPressThatRelistsTheFilesActsOnNoFile_data();
  void aPressThatRelistsTheFilesActsOnNoFile();
  void oddNamedFileIsConvertedByItsRealName_data();
  void oddNamedFileIsConvertedByItsRealName();
  void oddNamedFolderIsListedAndOpened();
  void startingInAnOddNamedFolderWorksLikeAnyOther();
  void longPathsShowTheirEnd();

  void aboutBoxShowsTheProgramThenTheTitleComesBack();
  void closingTheWindowEndsTheProgram();

 private:
  template <class Control>
  Control* control(const char* name) const {
    return window_->findChild<Control*>(QLatin1String(name));
  }
  FileList* fileDTA() const { return control<FileList>("fileDTA"); }
  DirList* dirDTA() const { return control<DirList>("dirDTA"); }
  PatternBox* cboTipo() const { return control<PatternBox>("cboTipo"); }
  QLineEdit* txtConverte() const { return control<QLineEdit>("txtConverte"); }
  QListView* lstResultado() const { return control<QListView>("lstResultado"); }
  // The folder Label4 stands for: the whole path, which the label itself
  // cuts at the start when it is long (longPathsShowTheirEnd).
  QString label4() const { return control<QLabel>("Label4")->toolTip(); }

  QString path(const QString& name) const { return QDir(folder_->path()).filePath(name); }
  // The same for a name given as bytes.
  std::string bytesPath(const char* name) const {
    return folder_->path().toStdString() + '/' + name;
  }
  QPoint fileAt(const QString& name) const;
  void clickFile(const QString& name) const;
  void doubleClickFile(const QString& name) const;
  void doubleClickFolder(const QString& entry) const;
  void typePattern(const QString& pattern) const;
  void pointerLeavesFiles() const;

  // The start folder is a drive of its own, beside the root and one more.
  DriveRoots driveRoots() const {
    const auto real = [](const QTemporaryDir& dir) {
      return PathOf(QDir(dir.path()).canonicalPath());
    };
    return [this, real] {
      return std::vector<FsPath>{PathOf(QDir::rootPath()), real(*folder_), real(*otherDrive_)};
    };
  }

  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<QTemporaryDir> otherDrive_;
  QString startDirectory_;
  std::unique_ptr<frmConv> window_;
};

// A fresh folder for each test, the working directory the window starts in.
void WindowEventsTest::init() {
  folder_ = std::make_unique<QTemporaryDir>();
  QVERIFY(folder_->isValid());
  QVERIFY(!WriteFile(path("MOV0612.DAT"), MovementFile(kRecords)).isEmpty());
  QVERIFY(!WriteFile(path("mov0712.dat"), MovementFile(2)).isEmpty());
  QVERIFY(!WriteFile(path(kOldCsv), kOldCsvBytes).isEmpty());
  QVERIFY(!WriteFile(path("notes.txt"), "x").isEmpty());
  QVERIFY(QDir(folder_->path()).mkdir("sub"));
  QVERIFY(!WriteFile(path("sub/INNER.DAT"), MovementFile(1)).isEmpty());
  QVERIFY(QDir(folder_->path()).mkpath(kLongFolder));
  QVERIFY(!WriteFile(path(kLongFolder + "/MOV0612.DAT"), MovementFile(1)).isEmpty());
  QVERIFY(std::filesystem::create_directory(bytesPath(kOddFolder)));
  QVERIFY(WriteFileNamed(bytesPath(kOddFolder) + "/MOV0612.DAT", MovementFile(1)));
  otherDrive_ = std::make_unique<QTemporaryDir>();
  QVERIFY(otherDrive_->isValid());
  startDirectory_ = QDir::currentPath();
  QVERIFY(QDir::setCurrent(folder_->path()));

  window_ = std::make_unique<frmConv>(driveRoots());
  window_->show();
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

// QTemporaryDir cannot remove names that are not UTF-8; the folders go
// first, whatever their entries are called.
void WindowEventsTest::cleanup() {
  window_.reset();
  QDir::setCurrent(startDirectory_);
  for (const auto* dir : {folder_.get(), otherDrive_.get()}) {
    std::error_code ignored;
    if (dir != nullptr) std::filesystem::remove_all(dir->path().toStdString(), ignored);
  }
  folder_.reset();
  otherDrive_.reset();
}

// Where the user sees the name: on the list as the screen shows it.
QPoint WindowEventsTest::fileAt(const QString& name) const {
  fileDTA()->viewport()->repaint();
  return RowAt(*fileDTA(), name);
}

void WindowEventsTest::clickFile(const QString& name) const {
  QTest::mouseClick(fileDTA()->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), fileAt(name));
}

void WindowEventsTest::doubleClickFile(const QString& name) const {
  DoubleClick(fileDTA()->viewport(), fileAt(name));
}

// The pointer goes from the file list to another control.
void WindowEventsTest::pointerLeavesFiles() const {
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(fileDTA(), &leave);
}

void WindowEventsTest::doubleClickFolder(const QString& entry) const {
  const QList<QListWidgetItem*> found = dirDTA()->findItems(entry, Qt::MatchExactly);
  QVERIFY2(!found.isEmpty(), qPrintable(entry));
  DoubleClick(dirDTA()->viewport(), dirDTA()->visualItemRect(found.last()).center());
}

// Clicks into the pattern box and types over its text; an empty pattern
// clears it.
void WindowEventsTest::typePattern(const QString& pattern) const {
  QTest::mouseClick(cboTipo()->lineEdit(), Qt::LeftButton);
  QTest::keyClick(cboTipo(), Qt::Key_A, Qt::ControlModifier);
  if (pattern.isEmpty()) {
    QTest::keyClick(cboTipo(), Qt::Key_Backspace);
  } else {
    QTest::keyClicks(cboTipo(), pattern);
  }
}

void WindowEventsTest::loadedWindowShowsTheDatFilesOfTheStartFolder() {
  QCOMPARE(window_->windowTitle(), QString("KOVA/DTA Conversor 0.9"));
  QStringList entries;
  for (int i = 0; i < cboTipo()->count(); ++i) entries.append(cboTipo()->itemText(i));
  QCOMPARE(entries, (QStringList{"*.*", "*.DAT", "*.CSV"}));
  QCOMPARE(cboTipo()->currentText(), QString("*.DAT"));
  QCOMPARE(fileDTA()->pattern(), QString("*.DAT"));
  QCOMPARE(Rows(*fileDTA()), kDatFiles);
  QCOMPARE(label4(), Native(folder_->path()));
  QCOMPARE(Shown(dirDTA()->path()), Native(folder_->path()));
  QVERIFY(txtConverte()->text().isEmpty());
  QCOMPARE(lstResultado()->model()->rowCount(), 0);
}

void WindowEventsTest::choosingAFileFillsThePathBoxOnly_data() {
  QTest::addColumn<QString>("clicked");  // empty: the keys only
  QTest::addColumn<QList<int>>("keys");
  QTest::addColumn<QString>("chosen");

  QTest::newRow("mouse") << "mov0712.dat" << QList<int>{} << "mov0712.dat";
  QTest::newRow("mouse, then arrow key down")
      << "MOV0612.DAT" << QList<int>{Qt::Key_Down} << "mov0712.dat";
  QTest::newRow("mouse, then arrow key back")
      << "mov0712.dat" << QList<int>{Qt::Key_Up} << "MOV0612.DAT";
  QTest::newRow("End key") << "" << QList<int>{Qt::Key_End} << "mov0712.dat";
  QTest::newRow("Down from nothing") << "" << QList<int>{Qt::Key_Down} << "MOV0612.DAT";
  QTest::newRow("Home from nothing") << "" << QList<int>{Qt::Key_Home} << "MOV0612.DAT";
}

void WindowEventsTest::choosingAFileFillsThePathBoxOnly() {
  QFETCH(QString, clicked);
  QFETCH(QList<int>, keys);
  QFETCH(QString, chosen);

  if (!clicked.isEmpty()) clickFile(clicked);
  fileDTA()->setFocus();
  for (const int key : keys) QTest::keyClick(fileDTA(), Qt::Key(key));

  QCOMPARE(fileDTA()->fileName(), chosen);
  QCOMPARE(txtConverte()->text(), Native(folder_->path()) + QDir::separator() + chosen);
  QCOMPARE(lstResultado()->model()->rowCount(), 0);
  QVERIFY(!QFile::exists(path(QString(chosen).replace(".dat", ".CSV", Qt::CaseInsensitive))));
}

void WindowEventsTest::aFileInTheRootGetsTwoSeparators() {
  doubleClickFolder(Native(QDir::rootPath()));
  QCOMPARE(Shown(fileDTA()->path()), Native(QDir::rootPath()));
  typePattern("*.*");
  if (Rows(*fileDTA()).isEmpty()) QSKIP("the root folder holds no file here");
  const QString name = Rows(*fileDTA()).first();
  clickFile(name);
  QCOMPARE(txtConverte()->text(), Native(QDir::rootPath()) + QDir::separator() + name);
}

void WindowEventsTest::convertingTheChosenFile_data() {
  QTest::addColumn<QString>("pattern");
  QTest::addColumn<QString>("file");
  QTest::addColumn<bool>("doubleClick");  // else a click, then Ok
  QTest::addColumn<int>("records");
  QTest::addColumn<QString>("csv");
  QTest::addColumn<QStringList>("listedAfter");

  const auto row = [](const char* tag, const char* pattern, const char* file, bool doubleClick,
                      int records, const char* csv, const QStringList& listedAfter) {
    QTest::newRow(tag) << QString(pattern) << QString(file) << doubleClick << records
                       << QString(csv) << listedAfter;
  };
  const QStringList all = {"MOV0612.CSV", "MOV0612.DAT", "mov0712.dat", "notes.txt", kOldCsv};
  row("click, Ok", "*.DAT", "MOV0612.DAT", false, kRecords, "MOV0612.CSV", kDatFiles);
  row("double click", "*.DAT", "MOV0612.DAT", true, kRecords, "MOV0612.CSV", kDatFiles);
  row("click, Ok, the CSV listed", "*.*", "MOV0612.DAT", false, kRecords, "MOV0612.CSV", all);
  row("double click, the CSV listed", "*.*", "MOV0612.DAT", true, kRecords, "MOV0612.CSV", all);
  row("lower-case name", "*.dat", "mov0712.dat", true, 2, "MOV0712.CSV", kDatFiles);
}

void WindowEventsTest::convertingTheChosenFile() {
  QFETCH(QString, pattern);
  QFETCH(QString, file);
  QFETCH(bool, doubleClick);
  QFETCH(int, records);
  QFETCH(QString, csv);
  QFETCH(QStringList, listedAfter);

  typePattern(pattern);
  if (doubleClick) {
    doubleClickFile(file);
  } else {
    clickFile(file);
    QVERIFY(!QFile::exists(path(csv)));
    pointerLeavesFiles();
    QTest::mouseClick(control<QPushButton>("cmdOK"), Qt::LeftButton);
  }

  QVERIFY(QFile::exists(path(csv)));
  pointerLeavesFiles();
  const QStringList log = LogLines(*lstResultado());
  QCOMPARE(log.size(), records + 18);
  QVERIFY2(log.first().endsWith(QString::fromUtf8("000 Iniciando a conversão")),
           qPrintable(log.first()));
  QVERIFY2(log.last().endsWith(QString("017 Total Registros: %1").arg(records, 5, 10, QChar('0'))),
           qPrintable(log.last()));
  QCOMPARE(lstResultado()->verticalScrollBar()->value(), 0);

  // The list is read again, the file stays chosen, and the path box keeps
  // the file converted.
  QCOMPARE(Rows(*fileDTA()), listedAfter);
  QCOMPARE(fileDTA()->fileName(), file);
  QCOMPARE(txtConverte()->text(), Native(path(file)));
}

void WindowEventsTest::okConvertsATypedPath() {
  clickFile("MOV0612.DAT");
  QTest::mouseClick(txtConverte(), Qt::LeftButton);
  QTest::keyClick(txtConverte(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(txtConverte(), "sub/INNER.DAT");
  QTest::keyClick(txtConverte(), Qt::Key_O, Qt::AltModifier);
  // The button shows itself pressed for a moment before it reports.
  QTRY_VERIFY(QFile::exists(path("sub/INNER.CSV")));
  QCOMPARE(lstResultado()->model()->rowCount(), 1 + 18);
  QVERIFY(!QFile::exists(path("MOV0612.CSV")));
  QCOMPARE(txtConverte()->text(), QString("sub/INNER.DAT"));
}

void WindowEventsTest::doubleClickOnACsvLeavesItIntact() {
  typePattern("*.CSV");
  QCOMPARE(Rows(*fileDTA()), QStringList{kOldCsv});
  doubleClickFile(kOldCsv);

  QCOMPARE(Contents(path(kOldCsv)), kOldCsvBytes);
  QCOMPARE(Rows(*fileDTA()), QStringList{kOldCsv});
  const QStringList log = LogLines(*lstResultado());
  const QString refused =
      QString::fromUtf8("024 ERRO: o arquivo de saida é o próprio arquivo de entrada: ") +
      Native(path(kOldCsv));
  QVERIFY2(HasLineEndingWith(log, refused), qPrintable(log.join(u'\n')));
  QVERIFY(HasLineEndingWith(log, QString::fromUtf8("011 CONVERSÃO NÃO REALIZADA")));
}

void WindowEventsTest::typedPatternListsItsFiles_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QStringList>("listed");

  // What the patterns match is the file list's own business; here, that
  // whatever is typed reaches it, odd text included.
  const QStringList all = {"MOV0612.DAT", "mov0712.dat", "notes.txt", kOldCsv};
  QTest::newRow("CSV") << "*.CSV" << QStringList{kOldCsv};
  QTest::newRow("lower case") << "*.csv" << QStringList{kOldCsv};
  QTest::newRow("two patterns") << "*.txt;*.csv" << QStringList{"notes.txt", kOldCsv};
  QTest::newRow("lone bracket") << "[" << QStringList{};
  QTest::newRow("double star") << "**" << all;
  QTest::newRow("empty") << "" << all;
}

void WindowEventsTest::typedPatternListsItsFiles() {
  QFETCH(QString, typed);
  QFETCH(QStringList, listed);
  typePattern(typed);
  QCOMPARE(cboTipo()->currentText(), typed);
  QCOMPARE(fileDTA()->pattern(), typed);
  QCOMPARE(Rows(*fileDTA()), listed);
  QCOMPARE(txtConverte()->text(), QString());
}

void WindowEventsTest::typedPatternTakesEffectAtEachKeystroke() {
  typePattern("*");
  QStringList listed = {QString::number(fileDTA()->model()->rowCount())};
  for (const char key : {'.', 'c', 's', 'v'}) {
    QTest::keyClick(cboTipo(), key);
    listed.append(QString::number(fileDTA()->model()->rowCount()));
  }
  QCOMPARE(fileDTA()->pattern(), QString("*.csv"));
  // "*", "*.", "*.c", "*.cs", "*.csv"
  QCOMPARE(listed, (QStringList{"4", "0", "0", "0", "1"}));
  QCOMPARE(QApplication::focusWidget(), cboTipo());
}

void WindowEventsTest::chosenPatternTakesEffectWhenTheBoxLosesTheFocus_data() {
  QTest::addColumn<QString>("how");

  QTest::newRow("list opened, entry picked with the keys") << "popup keys";
  QTest::newRow("list opened, entry clicked") << "popup mouse";
  QTest::newRow("arrow keys in the closed box") << "arrow keys";
}

void WindowEventsTest::chosenPatternTakesEffectWhenTheBoxLosesTheFocus() {
  QFETCH(QString, how);
  PatternBox* box = cboTipo();
  QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
  QSignalSpy lostFocus(box, &PatternBox::lostFocus);

  if (how == "arrow keys") {
    // From the first entry, which the filled list starts at, down to the
    // last.
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(box, Qt::Key_Down);
  } else {
    QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
    QAbstractItemView* view = box->view();
    QTRY_VERIFY(view->isVisible());
    const QModelIndex csv = view->model()->index(2, 0);
    if (how == "popup keys") {
      QTest::keyClick(view, Qt::Key_End);
      QTest::keyClick(view, Qt::Key_Return);
    } else {
      // A release too soon after opening belongs to the click that opened
      // the list; the user picks a moment later.
      QTest::qWait(QApplication::doubleClickInterval() + 50);
      const QPoint at = view->visualRect(csv).center();
      QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), at);
    }
    QTRY_VERIFY(!view->isVisible());
  }

  QCOMPARE(box->currentText(), QString("*.CSV"));
  QCOMPARE(fileDTA()->pattern(), QString("*.DAT"));
  QCOMPARE(Rows(*fileDTA()), kDatFiles);
  QCOMPARE(lostFocus.count(), 0);

  QTest::keyClick(box, Qt::Key_Tab);
  QCOMPARE(lostFocus.count(), 1);
  QCOMPARE(fileDTA()->pattern(), QString("*.CSV"));
  QCOMPARE(Rows(*fileDTA()), QStringList{kOldCsv});
}

void WindowEventsTest::openingAFolderListsItsFilesAndShowsItsPath_data() {
  QTest::addColumn<QString>("opened");  // relative to the start folder
  QTest::addColumn<bool>("byKeyboard");

  QTest::newRow("subfolder") << "sub" << false;
  QTest::newRow("subfolder by Enter") << "sub" << true;
  QTest::newRow("parent") << ".." << false;
}

void WindowEventsTest::openingAFolderListsItsFilesAndShowsItsPath() {
  QFETCH(QString, opened);
  QFETCH(bool, byKeyboard);
  const QString folder = Native(QDir::cleanPath(path(opened)));
  const QString entry = opened == ".." ? QDir(folder).dirName() : opened;

  if (byKeyboard) {
    dirDTA()->setFocus();
    dirDTA()->setCurrentItem(dirDTA()->findItems(entry, Qt::MatchExactly).last());
    QTest::keyClick(dirDTA(), Qt::Key_Return);
  } else {
    doubleClickFolder(entry);
  }

  QCOMPARE(Shown(dirDTA()->path()), folder);
  QCOMPARE(Shown(fileDTA()->path()), folder);
  QCOMPARE(label4(), folder);
  QCOMPARE(fileDTA()->pattern(), QString("*.DAT"));
  if (opened == "sub") QCOMPARE(Rows(*fileDTA()), QStringList{"INNER.DAT"});
  QCOMPARE(lstResultado()->model()->rowCount(), 0);
}

void WindowEventsTest::aFolderThatCannotBeListedChangesNothing_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("removed since it was listed") << "removed";
  QTest::newRow("no permission") << "no permission";
  QTest::newRow("names readable, entries not") << "no search";
}

void WindowEventsTest::aFolderThatCannotBeListedChangesNothing() {
  QFETCH(QString, how);
  const QString before = Native(folder_->path());
  clickFile("MOV0612.DAT");
  const QString chosen = txtConverte()->text();
  const QString sub = path("sub");
  const auto listable = qScopeGuard([&sub] {
    QFile::setPermissions(sub,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  });

  if (how == "removed") QVERIFY(QDir(sub).removeRecursively());
  if (how == "no permission") QVERIFY(QFile::setPermissions(sub, QFileDevice::WriteOwner));
  if (how == "no search") {
    QVERIFY(QFile::setPermissions(
        sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));
  }
  // Root lists every folder: as root, this thread looks at files as the
  // user nobody for the double click, in a folder nobody may search.
  const bool asNobody = how.startsWith("no ") && geteuid() == 0;
  if (asNobody) {
    QVERIFY(QFile::setPermissions(folder_->path(),
                                  QFile::permissions(folder_->path()) | QFileDevice::ExeOther));
    ::setfsgid(65534);
    ::setfsuid(65534);
  }
  doubleClickFolder("sub");
  if (asNobody) {
    ::setfsuid(0);
    ::setfsgid(0);
  }

  QVERIFY(window_->isVisible());
  QCOMPARE(Shown(dirDTA()->path()), before);
  QCOMPARE(Shown(fileDTA()->path()), before);
  QCOMPARE(label4(), before);
  QCOMPARE(Rows(*fileDTA()), kDatFiles);
  QCOMPARE(txtConverte()->text(), chosen);
}

void WindowEventsTest::choosingAnotherDriveBrowsesItsRoot() {
  auto* driveDTA = control<DriveList>("driveDTA");
  const int other = driveDTA->currentIndex() == 0 ? 1 : driveDTA->currentIndex() - 1;
  const QString root = driveDTA->itemText(other);

  driveDTA->setFocus();
  QTest::keyClick(driveDTA, other > driveDTA->currentIndex() ? Qt::Key_Down : Qt::Key_Up);

  QCOMPARE(Shown(driveDTA->drive()), root);
  QCOMPARE(Shown(dirDTA()->path()), root);
  QCOMPARE(Shown(fileDTA()->path()), root);
  QCOMPARE(label4(), root);
  QCOMPARE(fileDTA()->pattern(), QString("*.DAT"));
}

// The start folder is a drive of its own, listed after the root.
void WindowEventsTest::driveListOpensBelowItsBox() {
  auto* driveDTA = control<QComboBox>("driveDTA");
  QVERIFY(driveDTA->currentIndex() > 0);
  QTest::mouseClick(driveDTA, Qt::LeftButton);
  const QWidget* list = driveDTA->view()->window();
  QTRY_VERIFY(list->isVisible());
  QVERIFY(list->y() >= driveDTA->mapToGlobal(QPoint(0, driveDTA->height() - 1)).y());
}

void WindowEventsTest::wheelChangesTheDriveOnlyWithTheFocus_data() {
  QTest::addColumn<bool>("focused");
  QTest::newRow("focus elsewhere") << false;
  QTest::newRow("the drive list has the focus") << true;
}

void WindowEventsTest::wheelChangesTheDriveOnlyWithTheFocus() {
  QFETCH(bool, focused);
  auto* driveDTA = control<QComboBox>("driveDTA");
  if (focused) driveDTA->setFocus();
  const QString folder = label4();
  WheelUp(driveDTA);  // towards the root, listed first
  QCOMPARE(label4() == folder, !focused);
}

void WindowEventsTest::driveListFollowsTheFolderShown() {
  doubleClickFolder(QDir(QDir::cleanPath(path(".."))).dirName());  // off the start folder's drive
  QCOMPARE(control<QComboBox>("driveDTA")->currentText(), Native(QDir::rootPath()));
}

void WindowEventsTest::choosingTheShownDriveGoesToItsRoot() {
  auto* driveDTA = control<QComboBox>("driveDTA");
  doubleClickFolder("sub");
  driveDTA->setFocus();
  QTest::keyClick(driveDTA, Qt::Key_Down, Qt::AltModifier);
  QTRY_VERIFY(driveDTA->view()->isVisible());
  QTest::keyClick(driveDTA->view(), Qt::Key_Return);
  QCOMPARE(label4(), Native(folder_->path()));
}

// MOV0612.CSV, written by the first double click, would take MOV0612.DAT's
// row and push mov0712.dat down into MOV0612.DAT's place. The user, who
// aimed at mov0712.dat, gets mov0712.dat converted.
void WindowEventsTest::aSecondDoubleClickConvertsWhatWasUnderThePointer() {
  typePattern("*.*");
  const QPoint second = fileAt("mov0712.dat");
  doubleClickFile("MOV0612.DAT");
  QVERIFY(QFile::exists(path("MOV0612.CSV")));
  DoubleClick(fileDTA()->viewport(), second);
  QVERIFY(QFile::exists(path("MOV0712.CSV")));
  QCOMPARE(txtConverte()->text(), Native(path("mov0712.dat")));
}

// Pressed on one name and released on another: the box names the file
// highlighted, and Ok converts it.
void WindowEventsTest::aDragChoosesTheFileItEndsOn() {
  QWidget* viewport = fileDTA()->viewport();
  QTest::mousePress(viewport, Qt::LeftButton, Qt::KeyboardModifiers(), fileAt("MOV0612.DAT"));
  QTest::mouseMove(viewport, fileAt("mov0712.dat"));
  QTest::mouseRelease(viewport, Qt::LeftButton, Qt::KeyboardModifiers(), fileAt("mov0712.dat"));
  QCOMPARE(fileDTA()->fileName(), QString("mov0712.dat"));
  QCOMPARE(txtConverte()->text(), Native(path("mov0712.dat")));
  QTest::keyClick(fileDTA(), Qt::Key_O, Qt::AltModifier);
  QTRY_VERIFY(QFile::exists(path("MOV0712.CSV")));
  QVERIFY(!QFile::exists(path("MOV0612.CSV")));
}

void WindowEventsTest::otherButtonsLeaveTheChoice_data() {
  QTest::addColumn<Qt::MouseButton>("button");
  QTest::newRow("right") << Qt::RightButton;
  QTest::newRow("middle") << Qt::MiddleButton;
}

void WindowEventsTest::otherButtonsLeaveTheChoice() {
  QFETCH(Qt::MouseButton, button);
  clickFile("MOV0612.DAT");
  QTest::mouseClick(fileDTA()->viewport(), button, Qt::KeyboardModifiers(), fileAt("mov0712.dat"));
  QCOMPARE(fileDTA()->fileName(), QString("MOV0612.DAT"));
  QCOMPARE(txtConverte()->text(), Native(path("MOV0612.DAT")));
}

// Typed in the folder shown, not the folder the program started in; the
// log names the whole path.
void WindowEventsTest::aTypedNameIsTakenInTheFolderShown() {
  QVERIFY(!WriteFile(path("INNER.DAT"), MovementFile(1)).isEmpty());
  doubleClickFolder("sub");
  QTest::mouseClick(txtConverte(), Qt::LeftButton);
  QTest::keyClicks(txtConverte(), "INNER.DAT");
  QTest::keyClick(txtConverte(), Qt::Key_O, Qt::AltModifier);
  QTRY_VERIFY(QFile::exists(path("sub/INNER.CSV")));
  QVERIFY(!QFile::exists(path("INNER.CSV")));
  QVERIFY(HasLineEndingWith(LogLines(*lstResultado()), Native(path("sub/INNER.DAT"))));
}

void WindowEventsTest::patternListOpensOnTheEntryShown() {
  QTest::keyClick(cboTipo(), Qt::Key_Down, Qt::AltModifier);
  QTRY_VERIFY(cboTipo()->view()->isVisible());
  QCOMPARE(cboTipo()->view()->currentIndex().data().toString(), QString("*.DAT"));
}

// With every file listed, the user picks "*.DAT" and presses on the second
// name, MOV0612.DAT. The press takes the focus from the pattern box, which
// lists the DAT files: mov0712.dat is second now, where the user never saw
// it.
void WindowEventsTest::aPressThatRelistsTheFilesActsOnNoFile_data() {
  QTest::addColumn<bool>("pickedInTheList");  // else with the arrow keys
  QTest::addColumn<QString>("press");
  QTest::newRow("picked in the list, click") << true << "click";
  QTest::newRow("picked with the keys, double click") << false << "double click";
  QTest::newRow("double click, drawn between its clicks") << true << "drawn between";
}

void WindowEventsTest::aPressThatRelistsTheFilesActsOnNoFile() {
  QFETCH(bool, pickedInTheList);
  QFETCH(QString, press);
  QVERIFY(!WriteFile(path("A.TXT"), "a").isEmpty());
  fileDTA()->refresh();  // patterns filter the folder as it was read
  typePattern("*.*");
  const QPoint aimedAt = fileAt("MOV0612.DAT");
  QCOMPARE(fileDTA()->indexAt(aimedAt).row(), 1);
  if (pickedInTheList) {
    QTest::keyClick(cboTipo(), Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY(cboTipo()->view()->isVisible());
    QTest::keyClick(cboTipo()->view(), Qt::Key_Down);
    QTest::keyClick(cboTipo()->view(), Qt::Key_Return);
  } else {
    QTest::keyClick(cboTipo(), Qt::Key_Down);
  }
  QCOMPARE(cboTipo()->currentText(), QString("*.DAT"));

  QWidget* viewport = fileDTA()->viewport();
  if (press == "click") {
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::KeyboardModifiers(), aimedAt);
  } else {
    DoubleClick(viewport, aimedAt, [viewport, press] {
      if (press == "drawn between") viewport->repaint();
    });
  }
  QCOMPARE(Rows(*fileDTA()), kDatFiles);  // the pattern took effect
  QCOMPARE(txtConverte()->text(), QString());
  QCOMPARE(lstResultado()->model()->rowCount(), 0);
}

void WindowEventsTest::oddNamedFileIsConvertedByItsRealName_data() {
  QTest::addColumn<bool>("doubleClick");  // else a click, then Ok
  QTest::newRow("click, Ok") << false;
  QTest::newRow("double click") << true;
}

void WindowEventsTest::oddNamedFileIsConvertedByItsRealName() {
  QFETCH(bool, doubleClick);
  QVERIFY(WriteFileNamed(bytesPath(kOddFile), MovementFile(2)));
  fileDTA()->refresh();  // patterns filter the folder as it was read
  typePattern("*.*");
  if (doubleClick) {
    doubleClickFile(kOddFileShown);
  } else {
    clickFile(kOddFileShown);
    QTest::mouseClick(control<QPushButton>("cmdOK"), Qt::LeftButton);
  }
  QCOMPARE(txtConverte()->text(), Native(path(kOddFileShown)));
  const QStringList log = LogLines(*lstResultado());
  QVERIFY2(HasLineEndingWith(log, QString::fromUtf8("008 Fim de Conversão bem sucedido")),
           qPrintable(log.join(u'\n')));
}

void WindowEventsTest::oddNamedFolderIsListedAndOpened() {
  doubleClickFolder(kOddFolderShown);
  QCOMPARE(label4(), Native(path(kOddFolderShown)));
  QCOMPARE(Rows(*fileDTA()), QStringList{"MOV0612.DAT"});
}

void WindowEventsTest::startingInAnOddNamedFolderWorksLikeAnyOther() {
  window_.reset();
  std::filesystem::current_path(bytesPath(kOddFolder));
  window_ = std::make_unique<frmConv>(driveRoots());
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  QCOMPARE(label4(), Native(path(kOddFolderShown)));
  QCOMPARE(control<QComboBox>("driveDTA")->currentText(), Native(folder_->path()));
  clickFile("MOV0612.DAT");
  QCOMPARE(txtConverte()->text(), Native(path(kOddFolderShown + "/MOV0612.DAT")));
}

// Label4 shows the end of the folder's path, txtConverte the end of the
// file's; both show the whole path as the tooltip.
void WindowEventsTest::longPathsShowTheirEnd() {
  doubleClickFolder(kLongFolder);
  const auto* label = control<QLabel>("Label4");
  QCOMPARE(label->toolTip(), Native(path(kLongFolder)));
  QVERIFY2(label->text().startsWith(QChar(0x2026)) && label->text().endsWith(kLongFolder),
           qPrintable(label->text()));
  QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width());
  clickFile("MOV0612.DAT");
  QCOMPARE(txtConverte()->toolTip(), Native(path(kLongFolder + "/MOV0612.DAT")));
  QCOMPARE(txtConverte()->cursorPosition(), txtConverte()->text().size());
}

void WindowEventsTest::aboutBoxShowsTheProgramThenTheTitleComesBack() {
  auto* label6 = control<QLabel>("Label6");
  QTest::mouseClick(label6, Qt::RightButton);
  QCOMPARE(QApplication::activeModalWidget(), nullptr);

  // The box is modal: the click returns only once it is closed, so it is
  // read and closed from a timer running in its event loop, once the user
  // could see it.
  QString caption;
  QString text;
  int buttons = 0;
  bool boxActive = false;
  QTimer reader;
  reader.setSingleShot(true);
  connect(&reader, &QTimer::timeout, this, [this, &caption, &text, &buttons, &boxActive] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    // (A transient window counts as active as soon as its parent is.)
    boxActive = QTest::qWaitFor([box] { return QApplication::activeWindow() == box; });
    caption = box->windowTitle();
    text = box->text();
    buttons = int(box->buttons().size());
    // Another title meanwhile shows that coming back sets it again.
    window_->setWindowTitle("while the box is open");
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
  });
  reader.start(0);
  QTest::mouseClick(label6, Qt::LeftButton);

  QVERIFY(boxActive);
  QCOMPARE(caption, QString("ZIZADOD5"));
  QCOMPARE(text, QString("KOVA/DTA Conversor\n\nDesenvolvido por\n"
                         "suporte@zizadod5.example.org"));
  QCOMPARE(buttons, 1);
  QCOMPARE(QApplication::activeModalWidget(), nullptr);
  // A window manager gives the activation back to the window; the
  // offscreen platform has none, so the test does it.
  window_->activateWindow();
  QTRY_COMPARE(window_->windowTitle(), QString("KOVA/DTA Conversor 0.9"));
}

// With quitting on the last window closed turned off, only the window's own
// end can stop the event loop.
void WindowEventsTest::closingTheWindowEndsTheProgram() {
  QGuiApplication::setQuitOnLastWindowClosed(false);
  const QPointer<frmConv> window = window_.release();
  QTimer closer;
  closer.setSingleShot(true);
  connect(&closer, &QTimer::timeout, window, &QWidget::close);
  closer.start(0);
  QTimer watchdog;  // in case nothing else ends it
  watchdog.setSingleShot(true);
  connect(&watchdog, &QTimer::timeout, this, [] { QCoreApplication::exit(1); });
  watchdog.start(10000);
  const int status = QApplication::exec();
  QGuiApplication::setQuitOnLastWindowClosed(true);
  QCOMPARE(status, 0);
  QVERIFY(window.isNull());
}

QTEST_MAIN(WindowEventsTest)
#include "window_events_test.moc"
