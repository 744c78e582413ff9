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
  // returns the action the window took, Qt::IgnoreAction for a drop it
  // refused while the items were dragged over it.
  Qt::DropAction drop(QWidget* where, const QMimeData& data,
                      Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) const;

  std::unique_ptr<QTemporaryDir> folder_;
  QString startDirectory_;
  std::unique_ptr<frmConv> window_;
};

// A scratch folder, the working directory, with START.DAT, and IN.DAT in
// "in".
void RunsAndDropsTest::init() {
  folder_ = std::make_unique<QTemporaryDir>();
  QVERIFY(folder_->isValid());
  QVERIFY(QDir(folder_->path()).mkdir("in"));
  for (const char* name : {"START.DAT", "in/IN.DAT"}) {
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

// (A clean run opening at the top: frm_conv_test.)
void RunsAndDropsTest::aRunBringsItsFirstWarningIntoSight() {
  QVERIFY(!WriteFile(path("RUN.DAT"), ShortFile(14)).isEmpty());
  window_->convert(PathOf(path("RUN.DAT")));
  auto* log = find<QListView>("lstResultado");
  QVERIFY(!log->currentIndex().isValid());  // until the list takes the focus
  log->setFocus(Qt::TabFocusReason);
  const QModelIndex current = log->currentIndex();
  QVERIFY2(current.data().toString().contains(" 027 AVISO"), qPrintable(current.data().toString()));
  QVERIFY(log->verticalScrollBar()->value() > 0);
  QVERIFY(log->viewport()->rect().contains(log->visualRect(current)));
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
  return dropped.isAccepted() ? dropped.dropAction() : Qt::ActionMask;  // refused too late
}

// What a drop means is the model's (screen tests); here, that a drop
// anywhere reaches it, the path box taking no file as text, and that the
// window shows what the model made of it.
void RunsAndDropsTest::aDropShowsTheFileOrFolderAndConvertsNothing_data() {
  // A path relative to the scratch folder, or a URL, where {here} stands
  // for the scratch folder's path.
  QTest::addColumn<QStringList>("urls");
  QTest::addColumn<bool>("taken");
  QTest::newRow("one file") << QStringList{"in/IN.DAT"} << true;
  QTest::newRow("one file on localhost") << QStringList{"file://localhost{here}/in/IN.DAT"} << true;
  QTest::newRow("two files") << QStringList{"in/IN.DAT", "START.DAT"} << false;
  QTest::newRow("not a local file") << QStringList{"https://example.org/IN.DAT"} << false;
}

void RunsAndDropsTest::aDropShowsTheFileOrFolderAndConvertsNothing() {
  QFETCH(QStringList, urls);
  QFETCH(bool, taken);
  QMimeData data;
  QList<QUrl> dropped;
  for (QString url : urls) {
    url.replace("{here}", folder_->path());
    dropped.append(url.contains(':') ? QUrl(url) : QUrl::fromLocalFile(path(url)));
  }
  data.setUrls(dropped);
  // File managers offer the names as text too, which a text box would take.
  data.setText(urls.join('\n'));

  QCOMPARE(drop(find("txtConverte"), data), taken ? Qt::CopyAction : Qt::IgnoreAction);
  const QString folder = taken ? path("in") : folder_->path();
  QCOMPARE(find<QLabel>("Label4")->toolTip(), QDir::toNativeSeparators(folder));
  QCOMPARE(find<QLineEdit>("txtConverte")->text(),
           taken ? QDir::toNativeSeparators(path("in/IN.DAT")) : QString());
  const QModelIndexList rows = find<QListView>("fileDTA")->selectionModel()->selectedIndexes();
  QCOMPARE(rows.isEmpty() ? QString() : rows.front().data().toString(),
           taken ? QString("IN.DAT") : QString());
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
