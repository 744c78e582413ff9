// The window's small events: presses and drags in odd orders, keys that
// differ only by where they are on the keyboard, windows switched at the
// wrong moment, folders holding things that are not files. The window is
// driven only as a user drives it: its controls found by name, mouse and
// key events sent to them, what they show read back.

#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <utility>

#include "tests/window/window_files.h"
#include "window/qt/file_list.h"
#include "window/qt/frm_conv.h"

namespace {

const QString kEmoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // beyond U+FFFF

// One mouse event as the system sends it, at `at` in `widget`, `after`
// ms after the one before; `buttons` are those down after it.
void Mouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint at,
           Qt::MouseButtons buttons, quint64 after = 60) {
  static quint64 time = 0;
  time += after;
  QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
  event.setTimestamp(time);
  QSpontaneKeyEvent::setSpontaneous(&event);  // so that a press moves the focus
  QApplication::instance()->notify(widget, &event);
}

}  // namespace

class SmallEventsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void listRefilledWithAsManyOtherNamesShowsThem();
  void pressOnAnUnseenList_data();
  void pressOnAnUnseenList();
  void ctrlClickOnTheChosenFileKeepsItsPath();
  void ctrlOnTheChosenFileKeepsItHighlighted_data();
  void ctrlOnTheChosenFileKeepsItHighlighted();
  void screenReadersSeeAWindow();
  void tabIntoTheFilesReadsNoFileAsChosen();
  void spaceAfterTabChoosesTheFirstFile();
  void tabIntoTheLogOfAFailedRunReadsItsError();
  void keypadEnterOpensTheFolder();
  void label6OpensNothingWithoutALeftClickOnIt_data();
  void label6OpensNothingWithoutALeftClickOnIt();
  void hiddenAndShownAgainKeepsThreePatterns();
  void returnInThePatternBoxAddsNoEntry();
  void pendingPickWaitsThroughAWindowSwitch();
  void onlyRegularFilesAreListed();
  void namesBeyondSixteenBitsAreShownWhole();
  void linkToAFolderOnAnotherDriveShowsThatDrive();
  void driveGoneBeforeItIsChosenChangesNothing();
  void pathBoxTipOnlyForAPathItCannotShow_data();
  void pathBoxTipOnlyForAPathItCannotShow();

  void aKeyThatKeepsTheHighlightBringsItIntoSight();
  void spaceOnTheChosenFileKeepsIt();
  void theListDrawsWhatARunChanged_data();
  void theListDrawsWhatARunChanged();
  void comingBackDrawsFilesWrittenMeanwhile();
  void aDriveGoneBeforeTheListOpensIsNotOffered();

 private:
  // A control of the window, found by its name.
  template <class Control = QAbstractItemView>
  Control* find(const char* name) const {
    return scene_->window->findChild<Control*>(QLatin1String(name));
  }
  QString path(const QString& name) const { return QDir(scene_->folder.path()).filePath(name); }
  QPoint at(const QAbstractItemView* list, const QString& name) const;
  void typePattern(const QString& pattern) const;
  // The name the file list draws highlighted; empty for none.
  QString highlightedRow() const {
    return find("fileDTA")->selectionModel()->selectedIndexes().value(0).data().toString();
  }

  // Each test's window, working in a scratch folder of its own, which it
  // leaves before the folder goes.
  struct Scene {
    QTemporaryDir folder;
    QTemporaryDir otherDrive;
    QTemporaryDir vanishingDrive;
    QString startDirectory = QDir::currentPath();
    std::unique_ptr<frmConv> window;
    Scene() = default;
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    ~Scene() {
      window.reset();
      QDir::setCurrent(startDirectory);
    }
  };
  std::unique_ptr<Scene> scene_;
};

void SmallEventsTest::init() {
  scene_ = std::make_unique<Scene>();
  const QTemporaryDir& folder = scene_->folder;
  QVERIFY(folder.isValid() && scene_->otherDrive.isValid());
  for (const char* name : {"MOV0612.DAT", "mov0712.dat", "OLD.CSV", "NEW.CSV", "notes.txt"}) {
    QVERIFY(!WriteFile(path(name), MovementFile(1)).isEmpty());
  }
  QVERIFY(!WriteFile(path("mov" + kEmoji + ".txt"), MovementFile(1)).isEmpty());
  // A pipe and a device, named as movement files: never listed.
  QCOMPARE(::mkfifo(path("pipe.dat").toLocal8Bit().constData(), 0600), 0);
  QCOMPARE(::symlink("/dev/null", path("null.dat").toLocal8Bit().constData()), 0);
  QVERIFY(QDir(folder.path()).mkdir("sub"));
  QVERIFY(QDir(folder.path()).mkdir("pasta" + kEmoji));
  QVERIFY(QFile::link(scene_->otherDrive.path(), path("elsewhere")));
  QVERIFY(QDir::setCurrent(folder.path()));

  std::vector<FsPath> drives = {PathOf(QDir::rootPath())};
  for (const QTemporaryDir* drive :
       {&folder, &std::as_const(scene_->otherDrive), &std::as_const(scene_->vanishingDrive)}) {
    drives.push_back(PathOf(QDir(drive->path()).canonicalPath()));
  }
  scene_->window =
      std::make_unique<frmConv>([drives]() -> const std::vector<FsPath>& { return drives; });
  scene_->window->show();
  scene_->window->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(scene_->window.get()));
}

void SmallEventsTest::cleanup() { scene_.reset(); }

// Where the user sees the name, on the list as drawn.
QPoint SmallEventsTest::at(const QAbstractItemView* list, const QString& name) const {
  list->viewport()->repaint();
  const QModelIndexList found =
      list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, name, -1, Qt::MatchExactly);
  return found.isEmpty() ? QPoint(-1, -1) : list->visualRect(found.last()).center();
}

void SmallEventsTest::typePattern(const QString& pattern) const {
  QTest::mouseClick(find<QComboBox>("cboTipo")->lineEdit(), Qt::LeftButton);
  QTest::keyClick(find<QComboBox>("cboTipo"), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(find<QComboBox>("cboTipo"), pattern);
}

// Two patterns that take as many names, but not the same ones; the second
// picked in the box's list, which takes effect as a whole when the focus
// moves on.
void SmallEventsTest::listRefilledWithAsManyOtherNamesShowsThem() {
  typePattern("*.CSV");
  QCOMPARE(Rows(*find("fileDTA")), (QStringList{"NEW.CSV", "OLD.CSV"}));
  QTest::keyClick(find<QComboBox>("cboTipo"), Qt::Key_Down);
  QCOMPARE(find<QComboBox>("cboTipo")->currentText(), QString("*.DAT"));
  QTest::mouseClick(find<QLineEdit>("txtConverte"), Qt::LeftButton);
  QCOMPARE(Rows(*find("fileDTA")), (QStringList{"MOV0612.DAT", "mov0712.dat"}));
}

// A pattern picked with the arrow keys takes effect when the press on the
// file list takes the focus from the box: the list changes under the
// mouse, and the gesture that began there chooses nothing.
void SmallEventsTest::pressOnAnUnseenList_data() {
  QTest::addColumn<QString>("gesture");
  QTest::newRow("press, drag, release") << "drag";
  QTest::newRow("press, release, press, double click") << "press twice";
}

void SmallEventsTest::pressOnAnUnseenList() {
  QFETCH(QString, gesture);
  typePattern("*.*");
  QTest::keyClick(find<QComboBox>("cboTipo"), Qt::Key_Down);
  QWidget* viewport = find("fileDTA")->viewport();
  const QPoint first = at(find("fileDTA"), "MOV0612.DAT");
  const QPoint next = at(find("fileDTA"), "mov0712.dat");

  Mouse(viewport, QEvent::MouseButtonPress, Qt::LeftButton, first, Qt::LeftButton, 1000);
  if (gesture == "drag") {
    Mouse(viewport, QEvent::MouseMove, Qt::NoButton, next, Qt::LeftButton);
    Mouse(viewport, QEvent::MouseButtonRelease, Qt::LeftButton, next, Qt::NoButton);
  } else {
    Mouse(viewport, QEvent::MouseButtonRelease, Qt::LeftButton, first, Qt::NoButton);
    viewport->repaint();
    Mouse(viewport, QEvent::MouseButtonPress, Qt::LeftButton, first, Qt::LeftButton);
    Mouse(viewport, QEvent::MouseButtonDblClick, Qt::LeftButton, first, Qt::LeftButton);
    Mouse(viewport, QEvent::MouseButtonRelease, Qt::LeftButton, first, Qt::NoButton);
  }
  QCOMPARE(Rows(*find("fileDTA")), (QStringList{"MOV0612.DAT", "mov0712.dat"}));
  QCOMPARE(find("fileDTA")->selectionModel()->selectedIndexes().size(), 0);
  QCOMPARE(find<QLineEdit>("txtConverte")->text(), QString());
  QCOMPARE(find<QListView>("lstResultado")->model()->rowCount(), 0);
}

void SmallEventsTest::ctrlClickOnTheChosenFileKeepsItsPath() {
  const QPoint file = at(find("fileDTA"), "mov0712.dat");
  QTest::mouseClick(find("fileDTA")->viewport(), Qt::LeftButton, Qt::NoModifier, file);
  const QString chosen = find<QLineEdit>("txtConverte")->text();
  QVERIFY(chosen.endsWith("mov0712.dat"));
  QTest::mouseClick(find("fileDTA")->viewport(), Qt::LeftButton, Qt::ControlModifier, file);
  QCOMPARE(find<QLineEdit>("txtConverte")->text(), chosen);
}

void SmallEventsTest::ctrlOnTheChosenFileKeepsItHighlighted_data() {
  QTest::addColumn<bool>("click");
  QTest::newRow("Ctrl+click") << true;
  QTest::newRow("Ctrl+Space") << false;
}

void SmallEventsTest::ctrlOnTheChosenFileKeepsItHighlighted() {
  QFETCH(bool, click);
  const QPoint file = at(find("fileDTA"), "mov0712.dat");
  QTest::mouseClick(find("fileDTA")->viewport(), Qt::LeftButton, Qt::NoModifier, file);
  if (click) {
    QTest::mouseClick(find("fileDTA")->viewport(), Qt::LeftButton, Qt::ControlModifier, file);
  } else {
    QTest::keyClick(find("fileDTA"), Qt::Key_Space, Qt::ControlModifier);
  }
  const QModelIndexList highlighted = find("fileDTA")->selectionModel()->selectedIndexes();
  QCOMPARE(highlighted.size(), 1);
  QCOMPARE(highlighted.front().data().toString(), QString("mov0712.dat"));
}

void SmallEventsTest::screenReadersSeeAWindow() {
  QCOMPARE(QAccessible::queryAccessibleInterface(scene_->window.get())->role(),
           QAccessible::Window);
}

// What a screen reader reads when the focus arrives: the list, not a name
// the path box does not hold.
void SmallEventsTest::tabIntoTheFilesReadsNoFileAsChosen() {
  find<QLineEdit>("txtConverte")->setFocus();
  QTest::keyClick(find<QLineEdit>("txtConverte"), Qt::Key_Tab);
  QVERIFY(find("fileDTA")->hasFocus());
  QCOMPARE(QAccessible::queryAccessibleInterface(find("fileDTA"))->focusChild(), nullptr);
}

void SmallEventsTest::spaceAfterTabChoosesTheFirstFile() {
  find<QLineEdit>("txtConverte")->setFocus();
  QTest::keyClick(find<QLineEdit>("txtConverte"), Qt::Key_Tab);
  QTest::keyClick(find("fileDTA"), Qt::Key_Space);
  QCOMPARE(find<QLineEdit>("txtConverte")->text(), QDir::toNativeSeparators(path("MOV0612.DAT")));
}

void SmallEventsTest::tabIntoTheLogOfAFailedRunReadsItsError() {
  QTest::keyClicks(find<QLineEdit>("txtConverte"), "MISSING.DAT");
  QTest::mouseClick(find<QPushButton>("cmdOK"), Qt::LeftButton);
  find("lstResultado")->setFocus(Qt::TabFocusReason);
  const QAccessibleInterface* line =
      QAccessible::queryAccessibleInterface(find("lstResultado"))->focusChild();
  QVERIFY(line != nullptr);
  QVERIFY2(line->text(QAccessible::Name).contains(" 021 ERRO"),
           qPrintable(line->text(QAccessible::Name)));
}

void SmallEventsTest::keypadEnterOpensTheFolder() {
  QTest::mouseClick(find("dirDTA")->viewport(), Qt::LeftButton, Qt::NoModifier,
                    at(find("dirDTA"), "sub"));
  QTest::keyClick(find("dirDTA"), Qt::Key_Enter, Qt::KeypadModifier);
  QCOMPARE(find<QLabel>("Label4")->toolTip(), QDir::toNativeSeparators(path("sub")));
}

// Only a left press and a left release, both on the label, open the about
// box.
void SmallEventsTest::label6OpensNothingWithoutALeftClickOnIt_data() {
  QTest::addColumn<int>("pressed");
  QTest::addColumn<int>("released");
  QTest::addColumn<bool>("releasedOnIt");
  QTest::newRow("right press, left release") << int(Qt::RightButton) << int(Qt::LeftButton) << true;
  QTest::newRow("left press, right release") << int(Qt::LeftButton) << int(Qt::RightButton) << true;
  QTest::newRow("left press, release outside")
      << int(Qt::LeftButton) << int(Qt::LeftButton) << false;
}

void SmallEventsTest::label6OpensNothingWithoutALeftClickOnIt() {
  QFETCH(int, pressed);
  QFETCH(int, released);
  QFETCH(bool, releasedOnIt);
  // The box would open within the release; one that opens anyway is closed
  // from its own event loop, so the test goes on to say so.
  bool opened = false;
  QTimer closer;
  connect(&closer, &QTimer::timeout, this, [&opened] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      opened = true;
      box->close();
    }
  });
  closer.start(10);
  auto* label6 = find<QLabel>("Label6");
  const QPoint middle = label6->rect().center();
  const auto down = Qt::MouseButton(pressed);
  Mouse(label6, QEvent::MouseButtonPress, down, middle, down, 1000);
  Mouse(label6, QEvent::MouseButtonRelease, Qt::MouseButton(released),
        releasedOnIt ? middle : QPoint(-5, -5), Qt::NoButton);
  QVERIFY(!opened);
}

void SmallEventsTest::hiddenAndShownAgainKeepsThreePatterns() {
  scene_->window->hide();
  scene_->window->show();
  QCOMPARE(find<QComboBox>("cboTipo")->count(), 3);
}

void SmallEventsTest::returnInThePatternBoxAddsNoEntry() {
  typePattern("*.TXT");
  QTest::keyClick(find<QComboBox>("cboTipo"), Qt::Key_Return);
  QCOMPARE(find<QComboBox>("cboTipo")->count(), 3);
}

// Another window taking over is no loss of focus: the pattern picked with
// the keys waits until the focus really leaves the box.
void SmallEventsTest::pendingPickWaitsThroughAWindowSwitch() {
  typePattern("*.*");
  QTest::keyClick(find<QComboBox>("cboTipo"), Qt::Key_Down);
  const QStringList before = Rows(*find("fileDTA"));
  QWidget other;
  other.show();
  other.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&other));
  QCOMPARE(Rows(*find("fileDTA")), before);
}

void SmallEventsTest::onlyRegularFilesAreListed() {
  QCOMPARE(Rows(*find("fileDTA")), (QStringList{"MOV0612.DAT", "mov0712.dat"}));
}

void SmallEventsTest::namesBeyondSixteenBitsAreShownWhole() {
  typePattern("*.txt");
  QVERIFY(Rows(*find("fileDTA")).contains("mov" + kEmoji + ".txt"));
  QVERIFY(Rows(*find("dirDTA")).contains("pasta" + kEmoji));
}

// A folder reached through a link lies on the drive the link leads to.
void SmallEventsTest::linkToAFolderOnAnotherDriveShowsThatDrive() {
  QTest::mouseClick(find("dirDTA")->viewport(), Qt::LeftButton, Qt::NoModifier,
                    at(find("dirDTA"), "elsewhere"));
  QTest::keyClick(find("dirDTA"), Qt::Key_Return);
  QCOMPARE(find<QComboBox>("driveDTA")->currentText(),
           QDir::toNativeSeparators(QDir(scene_->otherDrive.path()).canonicalPath()));
}

void SmallEventsTest::driveGoneBeforeItIsChosenChangesNothing() {
  auto* drives = find<QComboBox>("driveDTA");
  const QString drive = drives->currentText();
  const QString folder = find<QLabel>("Label4")->toolTip();
  QTest::mouseClick(drives, Qt::LeftButton);
  QTRY_VERIFY(drives->view()->isVisible());
  const QString goneDrive = QDir(scene_->vanishingDrive.path()).canonicalPath();
  const int gone = drives->findText(QDir::toNativeSeparators(goneDrive));
  QVERIFY(gone >= 0 && gone != drives->currentIndex());
  QVERIFY(scene_->vanishingDrive.remove());
  for (int at = drives->currentIndex(); at != gone; at += gone > at ? 1 : -1) {
    QTest::keyClick(drives->view(), gone > at ? Qt::Key_Down : Qt::Key_Up);
  }
  QTest::keyClick(drives->view(), Qt::Key_Return);
  QCOMPARE(drives->currentText(), drive);
  QCOMPARE(find<QLabel>("Label4")->toolTip(), folder);
}

void SmallEventsTest::pathBoxTipOnlyForAPathItCannotShow_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<bool>("tip");
  QTest::newRow("short") << "mov0712.dat" << false;
  QTest::newRow("long") << QString(200, 'x') + ".dat" << true;
}

void SmallEventsTest::pathBoxTipOnlyForAPathItCannotShow() {
  QFETCH(QString, typed);
  QFETCH(bool, tip);
  QTest::mouseClick(find<QLineEdit>("txtConverte"), Qt::LeftButton);
  QTest::keyClicks(find<QLineEdit>("txtConverte"), typed);
  QCOMPARE(find<QLineEdit>("txtConverte")->toolTip(), tip ? typed : QString());
}

// Scrolled away from the highlighted last file, the user presses End: the
// highlight stays, and comes back into sight.
void SmallEventsTest::aKeyThatKeepsTheHighlightBringsItIntoSight() {
  for (int file = 0; file < 40; ++file) {
    QVERIFY(!WriteFile(path(QString("F%1.DAT").arg(file, 2, 10, QChar('0'))), "x").isEmpty());
  }
  find<FileList>("fileDTA")->refresh();
  auto* files = find("fileDTA");
  files->setFocus();
  QTest::keyClick(files, Qt::Key_End);
  files->scrollToTop();
  QTest::keyClick(files, Qt::Key_End);
  QVERIFY(files->viewport()->rect().contains(files->visualRect(files->currentIndex())));
}

void SmallEventsTest::spaceOnTheChosenFileKeepsIt() {
  QTest::mouseClick(find("fileDTA")->viewport(), Qt::LeftButton, Qt::NoModifier,
                    at(find("fileDTA"), "mov0712.dat"));
  QTest::keyClick(find("fileDTA"), Qt::Key_Space);
  QCOMPARE(find<QLineEdit>("txtConverte")->text(), QDir::toNativeSeparators(path("mov0712.dat")));
}

// MOV0712.CSV, the run's, lands above mov0712.dat: the list must draw the
// new rows, with the highlight on the file converted, when the pointer
// leaves it (a double click) or at once (Ok, the pointer elsewhere).
void SmallEventsTest::theListDrawsWhatARunChanged_data() {
  QTest::addColumn<bool>("doubleClick");
  QTest::newRow("double click, then the pointer leaves") << true;
  QTest::newRow("a click, then Ok") << false;
}

void SmallEventsTest::theListDrawsWhatARunChanged() {
  QFETCH(bool, doubleClick);
  typePattern("*.*");
  QWidget* viewport = find("fileDTA")->viewport();
  const QPoint file = at(find("fileDTA"), "mov0712.dat");
  QEvent leave(QEvent::Leave);
  if (doubleClick) {
    Mouse(viewport, QEvent::MouseButtonPress, Qt::LeftButton, file, Qt::LeftButton, 1000);
    Mouse(viewport, QEvent::MouseButtonRelease, Qt::LeftButton, file, Qt::NoButton);
    Mouse(viewport, QEvent::MouseButtonDblClick, Qt::LeftButton, file, Qt::LeftButton);
    Mouse(viewport, QEvent::MouseButtonRelease, Qt::LeftButton, file, Qt::NoButton);
    QVERIFY(QFile::exists(path("MOV0712.CSV")));
    QCOMPARE(highlightedRow(), QString("mov0712.dat"));  // held while the pointer rests there
    QApplication::sendEvent(find("fileDTA"), &leave);
  } else {
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, file);
    QApplication::sendEvent(find("fileDTA"), &leave);
    QTest::mouseClick(find<QPushButton>("cmdOK"), Qt::LeftButton);
  }
  QCOMPARE(highlightedRow(), QString("mov0712.dat"));
  QVERIFY(find("fileDTA")->visualRect(find("fileDTA")->model()->index(6, 0)).isValid());
}

// Back from another program that wrote a file listed first.
void SmallEventsTest::comingBackDrawsFilesWrittenMeanwhile() {
  QTest::mouseClick(find("fileDTA")->viewport(), Qt::LeftButton, Qt::NoModifier,
                    at(find("fileDTA"), "mov0712.dat"));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(find("fileDTA"), &leave);
  QWidget other;
  other.show();
  other.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&other));
  QVERIFY(!WriteFile(path("A.DAT"), "x").isEmpty());
  scene_->window->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(scene_->window.get()));
  QCOMPARE(highlightedRow(), QString("mov0712.dat"));
}

void SmallEventsTest::aDriveGoneBeforeTheListOpensIsNotOffered() {
  auto* drives = find<QComboBox>("driveDTA");
  const QString gone =
      QDir::toNativeSeparators(QDir(scene_->vanishingDrive.path()).canonicalPath());
  QVERIFY(drives->findText(gone) >= 0);
  QVERIFY(scene_->vanishingDrive.remove());
  QTest::mouseClick(drives, Qt::LeftButton);
  QTRY_VERIFY(drives->view()->isVisible());
  QCOMPARE(drives->findText(gone), -1);
}

QTEST_MAIN(SmallEventsTest)
#include "small_events_test.moc"
