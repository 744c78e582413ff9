// The three browsing lists on their own: what they list, what they report,
// and that a folder or drive they cannot read leaves them as they were.

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "tests/window/window_files.h"
#include "window/qt/dir_list.h"
#include "window/qt/drive_list.h"
#include "window/qt/file_list.h"
#include "window/qt/folder.h"

namespace {

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

}  // namespace

class BrowseListsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();

  void fileListMatchesPatternsIgnoringCase_data();
  void fileListMatchesPatternsIgnoringCase();
  void fileListKeepsItsDirectoryWhenANewOneCannotBeListed_data();
  void fileListKeepsItsDirectoryWhenANewOneCannotBeListed();
  void fileListReportsClicksByMouseAndKeys();
  void fileListReadAgainKeepsTheChosenName_data();
  void fileListReadAgainKeepsTheChosenName();

  void dirListShowsThePathThenTheSubdirectories();
  void dirListOpensAnEntry_data();
  void dirListOpensAnEntry();
  void dirListKeepsItsDirectoryWhenANewOneCannotBeListed_data();
  void dirListKeepsItsDirectoryWhenANewOneCannotBeListed();

  void driveListShowsTheDriveHoldingAPath_data();
  void driveListShowsTheDriveHoldingAPath();
  void driveListReportsAnotherDriveChosen();
  void driveListGoesBackQuietly();

 private:
  QString path(const QString& name) const { return QDir(folder_.path()).filePath(name); }
  // Real paths, as a folder's drive is found by its real path.
  QString drivesPath(const QString& name) const {
    return QDir::cleanPath(QDir(QDir(drives_.path()).canonicalPath()).filePath(name));
  }
  // The root, and the folders A and B standing in for two more drives.
  DriveRoots fakeRoots() const {
    return [this] {
      return std::vector{PathOf("/"), PathOf(drivesPath("A")), PathOf(drivesPath("B"))};
    };
  }

  QTemporaryDir folder_;
  QTemporaryDir drives_;
};

void BrowseListsTest::initTestCase() {
  QVERIFY(folder_.isValid());
  for (const char* name : {"MOV0612.DAT", "mov0712.dat", "Mov0812.Dat", "MOV0612.CSV", "README",
                           "notes.txt", "a[1].dat", ".hidden.DAT"}) {
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  for (const char* name : {"SUB.DAT", "alpha", "Beta", "gamma"}) {
    QVERIFY(QDir(folder_.path()).mkdir(name));
  }
  QVERIFY(drives_.isValid());
  for (const char* name : {"A/deeper", "B", "AB"}) QVERIFY(QDir(drives_.path()).mkpath(name));
}

void BrowseListsTest::fileListMatchesPatternsIgnoringCase_data() {
  QTest::addColumn<QString>("pattern");
  QTest::addColumn<QStringList>("names");

  const QStringList all = {"a[1].dat",    "MOV0612.CSV", "MOV0612.DAT", "mov0712.dat",
                           "Mov0812.Dat", "notes.txt",   "README"};
  const QStringList dat = {"a[1].dat", "MOV0612.DAT", "mov0712.dat", "Mov0812.Dat"};
  QTest::newRow("every file") << "*.*" << all;
  QTest::newRow("upper-case extension") << "*.DAT" << dat;
  QTest::newRow("lower-case extension") << "*.dat" << dat;
  QTest::newRow("CSV") << "*.CSV" << QStringList{"MOV0612.CSV"};
  QTest::newRow("lower-case pattern, upper-case name") << "*.txt" << QStringList{"notes.txt"};
  QTest::newRow("upper-case pattern, lower-case name") << "*.TXT" << QStringList{"notes.txt"};
  QTest::newRow("question mark") << "mov0?12.*"
                                 << QStringList{"MOV0612.CSV", "MOV0612.DAT", "mov0712.dat",
                                                "Mov0812.Dat"};
  QTest::newRow("two patterns") << "*.CSV; *.txt" << QStringList{"MOV0612.CSV", "notes.txt"};
  QTest::newRow("any extension, or none") << "README.*" << QStringList{"README"};
  QTest::newRow("brackets are letters") << "A[1].DAT" << QStringList{"a[1].dat"};
  QTest::newRow("lone bracket") << "[" << QStringList{};
  QTest::newRow("double star") << "**" << all;
  QTest::newRow("empty") << "" << all;
  QTest::newRow("no such file") << "?" << QStringList{};
}

void BrowseListsTest::fileListMatchesPatternsIgnoringCase() {
  QFETCH(QString, pattern);
  QFETCH(QStringList, names);
  FileList list;
  QVERIFY(list.setPath(PathOf(folder_.path())));
  list.setPattern(pattern);
  QCOMPARE(list.pattern(), pattern);
  QCOMPARE(Rows(list), names);
}

void BrowseListsTest::fileListKeepsItsDirectoryWhenANewOneCannotBeListed_data() {
  QTest::addColumn<QString>("target");
  QTest::newRow("missing") << "no such folder";
  QTest::newRow("a file") << "README";
}

void BrowseListsTest::fileListKeepsItsDirectoryWhenANewOneCannotBeListed() {
  QFETCH(QString, target);
  FileList list;
  QVERIFY(list.setPath(PathOf(folder_.path())));
  list.setPattern("*.CSV");
  QVERIFY(!list.setPath(PathOf(path(target))));
  QCOMPARE(Shown(list.path()), Native(folder_.path()));
  QCOMPARE(Rows(list), QStringList{"MOV0612.CSV"});
}

void BrowseListsTest::fileListReportsClicksByMouseAndKeys() {
  FileList list;
  list.resize(200, 150);
  QVERIFY(list.setPath(PathOf(folder_.path())));
  list.setPattern("*.dat");
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  QSignalSpy clicked(&list, &FileList::fileClicked);
  QSignalSpy doubleClicked(&list, &FileList::fileDoubleClicked);

  const QPoint second = list.visualRect(list.model()->index(1, 0)).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), second);
  QCOMPARE(clicked.count(), 1);
  QCOMPARE(clicked.last().first().toString(), QString("MOV0612.DAT"));
  QCOMPARE(list.fileName(), QString("MOV0612.DAT"));

  QTest::keyClick(&list, Qt::Key_Down);
  QCOMPARE(clicked.count(), 2);
  QCOMPARE(clicked.last().first().toString(), QString("mov0712.dat"));
  QCOMPARE(list.fileName(), QString("mov0712.dat"));

  QTest::keyClick(&list, Qt::Key_Home);
  QCOMPARE(clicked.last().first().toString(), QString("a[1].dat"));
  const int beforeDoubleClick = int(clicked.count());

  // A double click follows a click on the same name.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), second);
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), second);
  QCOMPARE(clicked.count(), beforeDoubleClick + 1);
  QCOMPARE(doubleClicked.count(), 1);
  QCOMPARE(doubleClicked.last().first().toString(), QString("MOV0612.DAT"));

  // Filling the list again selects nothing and reports nothing.
  list.setPattern("*.*");
  QVERIFY(list.fileName().isEmpty());
  QCOMPARE(clicked.count(), beforeDoubleClick + 1);
  QCOMPARE(doubleClicked.count(), 1);
}

void BrowseListsTest::fileListReadAgainKeepsTheChosenName_data() {
  QTest::addColumn<QString>("added");    // a file made before reading again
  QTest::addColumn<QString>("removed");  // a file removed before reading again
  QTest::addColumn<QString>("chosen");   // after reading again

  const auto row = [](const char* tag, const char* added, const char* removed, const char* chosen) {
    QTest::newRow(tag) << QString(added) << QString(removed) << QString(chosen);
  };
  row("nothing changed", "", "", "mov0712.dat");
  row("a file listed above", "MOV0011.DAT", "", "mov0712.dat");
  row("a file below gone", "", "Mov0812.Dat", "mov0712.dat");
  row("the chosen file gone", "", "mov0712.dat", "");
}

void BrowseListsTest::fileListReadAgainKeepsTheChosenName() {
  QFETCH(QString, added);
  QFETCH(QString, removed);
  QFETCH(QString, chosen);

  QTemporaryDir scratch;
  for (const char* name : {"MOV0612.DAT", "mov0712.dat", "Mov0812.Dat"}) {
    QFile file(scratch.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
  }
  FileList list;
  list.resize(200, 150);
  QVERIFY(list.setPath(PathOf(scratch.path())));
  list.setPattern("*.dat");
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::KeyboardModifiers(),
                    list.visualRect(list.model()->index(1, 0)).center());
  QCOMPARE(list.fileName(), QString("mov0712.dat"));
  QSignalSpy clicked(&list, &FileList::fileClicked);

  if (!added.isEmpty()) QVERIFY(QFile(scratch.filePath(added)).open(QIODevice::WriteOnly));
  if (!removed.isEmpty()) QVERIFY(QFile::remove(scratch.filePath(removed)));
  list.refresh();

  QStringList expected = {"MOV0612.DAT", "mov0712.dat", "Mov0812.Dat"};
  if (!added.isEmpty()) expected.prepend(added);
  expected.removeOne(removed);
  QCOMPARE(Rows(list), expected);
  QCOMPARE(list.fileName(), chosen);
  QCOMPARE(clicked.count(), 0);
}

void BrowseListsTest::dirListShowsThePathThenTheSubdirectories() {
  DirList list;
  QVERIFY(list.setPath(PathOf(folder_.path())));
  QCOMPARE(Shown(list.path()), Native(folder_.path()));

  QStringList expected = {Native(QDir::rootPath())};
  expected += QDir::fromNativeSeparators(folder_.path()).split(u'/', Qt::SkipEmptyParts);
  const int current = int(expected.size()) - 1;
  expected += QStringList{"alpha", "Beta", "gamma", "SUB.DAT"};
  QCOMPARE(Rows(list), expected);
  QCOMPARE(list.currentRow(), current);
}

void BrowseListsTest::dirListOpensAnEntry_data() {
  QTest::addColumn<QString>("entry");
  QTest::addColumn<QString>("opened");
  QTest::addColumn<bool>("byKeyboard");

  const QString parent = QDir::cleanPath(folder_.path() + "/..");
  QTest::newRow("subdirectory") << "Beta" << path("Beta") << false;
  QTest::newRow("parent") << QDir(parent).dirName() << parent << false;
  QTest::newRow("root") << Native(QDir::rootPath()) << QDir::rootPath() << false;
  QTest::newRow("subdirectory by Enter") << "gamma" << path("gamma") << true;
}

void BrowseListsTest::dirListOpensAnEntry() {
  QFETCH(QString, entry);
  QFETCH(QString, opened);
  QFETCH(bool, byKeyboard);

  DirList list;
  list.resize(250, 400);
  QVERIFY(list.setPath(PathOf(folder_.path())));
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  QSignalSpy changed(&list, &DirList::pathChanged);

  const QList<QListWidgetItem*> found = list.findItems(entry, Qt::MatchExactly);
  QVERIFY(!found.isEmpty());
  if (byKeyboard) {
    list.setCurrentItem(found.last());
    QTest::keyClick(&list, Qt::Key_Return);
  } else {
    const QPoint at = list.visualItemRect(found.last()).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), at);
    QCOMPARE(changed.count(), 0);  // one click only selects
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::KeyboardModifiers(), at);
  }
  QCOMPARE(Shown(list.path()), Native(opened));
  QCOMPARE(changed.count(), 1);
}

void BrowseListsTest::dirListKeepsItsDirectoryWhenANewOneCannotBeListed_data() {
  QTest::addColumn<QString>("target");
  QTest::newRow("missing") << "no such folder";
  QTest::newRow("a file") << "README";
  QTest::newRow("empty") << "";  // the current directory: no change
}

void BrowseListsTest::dirListKeepsItsDirectoryWhenANewOneCannotBeListed() {
  QFETCH(QString, target);
  DirList list;
  QVERIFY(list.setPath(PathOf(folder_.path())));
  const QStringList before = Rows(list);
  QSignalSpy changed(&list, &DirList::pathChanged);
  list.setPath(PathOf(target.isEmpty() ? target : path(target)));
  QCOMPARE(Shown(list.path()), Native(folder_.path()));
  QCOMPARE(Rows(list), before);
  QCOMPARE(changed.count(), 0);
}

void BrowseListsTest::driveListShowsTheDriveHoldingAPath_data() {
  QTest::addColumn<QString>("path");   // in the drives' folder
  QTest::addColumn<QString>("drive");  // the same; empty for the root
  const auto row = [](const char* tag, const char* path, const char* drive) {
    QTest::newRow(tag) << QString(path) << QString(drive);
  };
  row("a drive's root", "B", "B");
  row("a folder on a drive", "A/deeper", "A");
  row("beside the drives", ".", "");
  row("a name that begins like a drive's", "AB", "");
}

void BrowseListsTest::driveListShowsTheDriveHoldingAPath() {
  QFETCH(QString, path);
  QFETCH(QString, drive);
  DriveList drives(fakeRoots());
  QSignalSpy changed(&drives, &DriveList::driveChanged);
  drives.showDriveOf(PathOf(drivesPath(path)));
  const QString root = Native(drive.isEmpty() ? QDir::rootPath() : drivesPath(drive));
  QCOMPARE(Shown(drives.drive()), root);
  QCOMPARE(drives.currentText(), root);
  QCOMPARE(changed.count(), 0);
}

void BrowseListsTest::driveListReportsAnotherDriveChosen() {
  DriveList drives(fakeRoots());
  drives.showDriveOf(PathOf(drivesPath("A")));
  QSignalSpy changed(&drives, &DriveList::driveChanged);
  QTest::keyClick(&drives, Qt::Key_Down);
  QCOMPARE(changed.count(), 1);
  QCOMPARE(Shown(drives.drive()), Native(drivesPath("B")));
}

void BrowseListsTest::driveListGoesBackQuietly() {
  DriveList drives(fakeRoots());
  drives.showDriveOf(PathOf(drivesPath("A")));
  QTest::keyClick(&drives, Qt::Key_Down);
  QSignalSpy changed(&drives, &DriveList::driveChanged);
  drives.showDriveOf(PathOf(drivesPath("A/deeper")));
  QCOMPARE(Shown(drives.drive()), Native(drivesPath("A")));
  QCOMPARE(drives.currentText(), Native(drivesPath("A")));
  QCOMPARE(changed.count(), 0);
}

QTEST_MAIN(BrowseListsTest)
#include "browse_lists_test.moc"
