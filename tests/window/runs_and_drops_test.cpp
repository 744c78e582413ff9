// What the window shows and says when a run ends, what screen readers can
// read and do, and files dropped on it from a file manager. Offscreen:
// screen readers' side is read through the accessibility events the
// window sends and the interfaces it gives.

#include <QAccessible>
#include <QAccessibleEvent>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>
#include <vector>

#include "tests/window/window_files.h"
#include "window/qt/frm_conv.h"

namespace {

// Counts the times a widget is shown.
class ShowCounter : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Show) ++count;
    return false;
  }
};

// Forty records announced, `records` there: fewer give a 027 AVISO after
// the last one.
QByteArray ShortFile(int records) {
  QByteArray text = MovementFile(records);
  text.replace(13, 5, "00040");
  return text;
}

}  // namespace

class RunsAndDropsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void aRunBringsItsFirstWarningIntoSight_data();
  void aRunBringsItsFirstWarningIntoSight();
  void theVerdictIsAnnouncedWithoutMovingTheFocus();
  void theDriveListTellsItsDrive();
  void label6CanBePressedByAScreenReaderYetTakesNoFocus();

  void aDropShowsTheFileOrFolderAndConvertsNothing_data();
  void aDropShowsTheFileOrFolderAndConvertsNothing();
  void aDropOfferedOnlyAsAMoveIsRefused();

 private:
  template <class Control = QWidget>
  Control* find(const char* name) const {
    return window_->findChild<Control*>(QLatin1String(name));
  }
  QString path(const QString& name) const { return QDir(folder_->path()).filePath(name); }
  // Drags `data` over `where` and drops it there, offering `actions`;
  // returns the action the window took, Qt::IgnoreAction for a refusal.
  Qt::DropAction drop(QWidget* where, const QMimeData& data,
                      Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) const;

  std::unique_ptr<QTemporaryDir> folder_;
  QString startDirectory_;
  std::unique_ptr<frmConv> window_;
};

// A scratch folder, the working directory: START.DAT, and in "in" IN.DAT,
// NOTES.TXT and the runs' files.
void RunsAndDropsTest::init() {
  folder_ = std::make_unique<QTemporaryDir>();
  QVERIFY(folder_->isValid());
  QVERIFY(QDir(folder_->path()).mkdir("in"));
  for (const char* name : {"START.DAT", "in/IN.DAT", "in/NOTES.TXT"}) {
    QVERIFY(!WriteFile(path(name), MovementFile(1)).isEmpty());
  }
  startDirectory_ = QDir::currentPath();
  QVERIFY(QDir::setCurrent(folder_->path()));
  const FsPath start = PathOf(folder_->path());
  window_ = std::make_unique<frmConv>([start] { return std::vector{start}; });
  window_->show();
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void RunsAndDropsTest::cleanup() {
  window_.reset();
  QDir::setCurrent(startDirectory_);
  folder_.reset();
}

void RunsAndDropsTest::aRunBringsItsFirstWarningIntoSight_data() {
  QTest::addColumn<QByteArray>("content");
  QTest::addColumn<QString>("shown");  // the line in sight with the cursor on it; "" the top
  QTest::newRow("forty announced, fourteen there") << ShortFile(14) << " 027 AVISO";
  QTest::newRow("forty there, a clean run") << MovementFile(40) << "";
}

void RunsAndDropsTest::aRunBringsItsFirstWarningIntoSight() {
  QFETCH(QByteArray, content);
  QFETCH(QString, shown);
  QVERIFY(!WriteFile(path("RUN.DAT"), content).isEmpty());
  window_->convert(PathOf(path("RUN.DAT")));
  auto* log = find<QListView>("lstResultado");
  const QModelIndex current = log->currentIndex();
  if (shown.isEmpty()) {
    QCOMPARE(log->verticalScrollBar()->value(), 0);
    QVERIFY(!current.isValid());
  } else {
    QVERIFY(log->verticalScrollBar()->value() > 0);
    QVERIFY2(current.data().toString().contains(shown), qPrintable(current.data().toString()));
    QVERIFY(log->viewport()->rect().contains(log->visualRect(current)));
  }
}

// A screen reader speaks a notification as it shows, whatever has the
// focus; each run's verdict shows anew, the same one twice too. (That the
// showing reaches screen readers is checked over AT-SPI by
// scripts/window_under_x.py.)
void RunsAndDropsTest::theVerdictIsAnnouncedWithoutMovingTheFocus() {
  QWidget* focused = QApplication::focusWidget();
  QWidget* notice = find("verdictNotice");
  QCOMPARE(QAccessible::queryAccessibleInterface(notice)->role(), QAccessible::Notification);
  ShowCounter shows;
  notice->installEventFilter(&shows);
  for (const char* file : {"START.DAT", "START.DAT", "MISSING.DAT"}) {
    window_->convert(PathOf(path(file)));
    QVERIFY(notice->isVisible());
  }
  QCOMPARE(shows.count, 3);
  QCOMPARE(QAccessible::queryAccessibleInterface(notice)->text(QAccessible::Name),
           QString::fromUtf8("011 CONVERSÃO NÃO REALIZADA"));
  QCOMPARE(QApplication::focusWidget(), focused);
}

void RunsAndDropsTest::theDriveListTellsItsDrive() {
  QAccessibleInterface* drives = QAccessible::queryAccessibleInterface(find("driveDTA"));
  QVERIFY(drives->textInterface() != nullptr);
  QCOMPARE(drives->textInterface()->text(0, drives->textInterface()->characterCount()),
           find<QComboBox>("driveDTA")->currentText());
}

// The press comes back through the event loop, where the about box opens;
// it is closed from its own loop.
void RunsAndDropsTest::label6CanBePressedByAScreenReaderYetTakesNoFocus() {
  auto* label6 = find<QLabel>("Label6");
  QCOMPARE(label6->focusPolicy(), Qt::NoFocus);
  QAccessibleInterface* described = QAccessible::queryAccessibleInterface(label6);
  QCOMPARE(described->role(), QAccessible::StaticText);
  QCOMPARE(described->text(QAccessible::Name), QString("ZRKQ"));
  QAccessibleActionInterface* actions = described->actionInterface();
  QVERIFY(actions != nullptr);
  QCOMPARE(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
  QString caption;
  QTimer closer;
  connect(&closer, &QTimer::timeout, this, [&caption] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      caption = box->windowTitle();
      box->close();
    }
  });
  closer.start(10);
  actions->doAction(QAccessibleActionInterface::pressAction());
  QTRY_COMPARE(caption, QString("ZIZADOD5"));
}

Qt::DropAction RunsAndDropsTest::drop(QWidget* where, const QMimeData& data,
                                      Qt::DropActions actions) const {
  const QPoint at = where->rect().center();
  QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(where, &enter);
  if (!enter.isAccepted()) return Qt::IgnoreAction;
  QDropEvent dropped(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(where, &dropped);
  return dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction;
}

void RunsAndDropsTest::aDropShowsTheFileOrFolderAndConvertsNothing_data() {
  QTest::addColumn<QStringList>("urls");  // a path relative to the scratch folder, or a URL
  QTest::addColumn<QString>("onto");
  QTest::addColumn<bool>("taken");
  QTest::addColumn<QString>("folder");  // shown after, relative to the scratch folder
  QTest::addColumn<QString>("inTheBox");
  QTest::addColumn<QString>("highlighted");

  QTest::newRow("a file onto the path box")
      << QStringList{"in/IN.DAT"} << "txtConverte" << true << "in"
      << "in/IN.DAT"
      << "IN.DAT";
  QTest::newRow("a file onto the file list")
      << QStringList{"in/IN.DAT"} << "fileDTA" << true << "in"
      << "in/IN.DAT"
      << "IN.DAT";
  QTest::newRow("a file the pattern leaves out onto the pattern box")
      << QStringList{"in/NOTES.TXT"} << "cboTipo" << true << "in"
      << "in/NOTES.TXT"
      << "";
  QTest::newRow("a folder onto the folder list") << QStringList{"in"} << "dirDTA" << true << "in"
                                                 << ""
                                                 << "";
  QTest::newRow("two files") << QStringList{"in/IN.DAT", "START.DAT"} << "fileDTA" << false << "."
                             << ""
                             << "";
  QTest::newRow("not a local file")
      << QStringList{"https://example.org/IN.DAT"} << "fileDTA" << false << "."
      << ""
      << "";
}

void RunsAndDropsTest::aDropShowsTheFileOrFolderAndConvertsNothing() {
  QFETCH(QStringList, urls);
  QFETCH(QString, onto);
  QFETCH(bool, taken);
  QFETCH(QString, folder);
  QFETCH(QString, inTheBox);
  QFETCH(QString, highlighted);
  QMimeData data;
  QList<QUrl> dropped;
  for (const QString& url : urls) {
    dropped.append(url.contains(':') ? QUrl(url) : QUrl::fromLocalFile(path(url)));
  }
  data.setUrls(dropped);
  // Where the pointer is: a list's viewport, a box's edit field.
  QWidget* target = find(onto.toLatin1().constData());
  if (auto* list = qobject_cast<QAbstractScrollArea*>(target)) target = list->viewport();
  if (auto* box = qobject_cast<QComboBox*>(target)) target = box->lineEdit();

  QCOMPARE(drop(target, data), taken ? Qt::CopyAction : Qt::IgnoreAction);
  QCOMPARE(find<QLabel>("Label4")->toolTip(),
           QDir::toNativeSeparators(QDir::cleanPath(path(folder))));
  QCOMPARE(find<QLineEdit>("txtConverte")->text(),
           inTheBox.isEmpty() ? QString() : QDir::toNativeSeparators(path(inTheBox)));
  const QModelIndexList rows = find<QListView>("fileDTA")->selectionModel()->selectedIndexes();
  QCOMPARE(rows.isEmpty() ? QString() : rows.front().data().toString(), highlighted);
  QCOMPARE(QDir(path("in")).entryList(QDir::Files), (QStringList{"IN.DAT", "NOTES.TXT"}));
  QCOMPARE(find<QListView>("lstResultado")->model()->rowCount(), 0);
}

// The source would delete its file after a move.
void RunsAndDropsTest::aDropOfferedOnlyAsAMoveIsRefused() {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(path("in/IN.DAT"))});
  QCOMPARE(drop(find("fileDTA"), data, Qt::MoveAction), Qt::IgnoreAction);
  QCOMPARE(find<QLineEdit>("txtConverte")->text(), QString());
}

QTEST_MAIN(RunsAndDropsTest)
#include "runs_and_drops_test.moc"
