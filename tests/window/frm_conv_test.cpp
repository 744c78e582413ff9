// The main window as created (before it loads): controls, places, fonts,
// colours, focus order, keys, and the progress log shown after a run.

#include <QAbstractItemModel>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "conversion/run_conversion.h"
#include "tests/window/window_files.h"
#include "window/qt/dir_list.h"
#include "window/qt/drive_list.h"
#include "window/qt/file_list.h"
#include "window/qt/folder.h"
#include "window/qt/frm_conv.h"
#include "window/qt/log_list.h"
#include "window/qt/on_screen.h"

namespace {

const QStringList kControlNames = {"Frame1",       "Label1",   "txtConverte", "fileDTA", "Label2",
                                   "cboTipo",      "Label3",   "Label4",      "dirDTA",  "Label5",
                                   "lstResultado", "driveDTA", "Label6",      "Frame2",  "cmdOK",
                                   "Option1",      "Option2",  "Option3",     "Option4", "Option5"};

const QStringList kTabCycle = {"txtConverte",  "fileDTA",  "cboTipo", "dirDTA",
                               "lstResultado", "driveDTA", "cmdOK",   "txtConverte"};

const QColor kOrange(255, 128, 0);

}  // namespace

class FrmConvTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void controlsAtCreation_data();
  void controlsAtCreation();
  void windowAtCreation();
  void browsingListsStartInTheWorkingDirectory();
  void fontsAreTheWindowsBoldFontAndAFixedPitchLog();
  void coloursAtCreation_data();
  void coloursAtCreation();
  void boxesCoverTheLabelsTheyOverlap_data();
  void boxesCoverTheLabelsTheyOverlap();
  void pathBoxHasNoLengthLimit();

  void tabCycle_data();
  void tabCycle();
  void altOPressesOkFromAnyControl_data();
  void altOPressesOkFromAnyControl();
  void otherKeysDoNotPressOk_data();
  void otherKeysDoNotPressOk();
  void enterOnAFocusedOkPressesIt_data();
  void enterOnAFocusedOkPressesIt();
  void controlsHaveAccessibleNames_data();
  void controlsHaveAccessibleNames();
  void aSmallScreenScrollsTheWindow();
  void clickingAnOptionChangesNothing_data();
  void clickingAnOptionChangesNothing();

  void logListShowsTheRunsLines();
  void logListStaysAtTheTopAfterALongRun();
  void logListShowsTheFirstErrorOfAFailedRun();
  void logListCutsLongLinesAtItsRightEdge_data();
  void logListCutsLongLinesAtItsRightEdge();
  void logListShowsEachLineOnOneRow_data();
  void logListShowsEachLineOnOneRow();

 private:
  template <class Control = QWidget>
  Control* control(const QString& name) const {
    return window_->findChild<Control*>(name);
  }
  // The named control that holds the focus (a combo box's edit field counts
  // as the combo box).
  QString focusedControl() const;

  QTemporaryDir scratch_;
  std::unique_ptr<frmConv> window_;  // shown and active
  // Made for each test and never shown: the window loads only when first
  // shown, so this one still shows every control as created.
  std::unique_ptr<frmConv> created_;
};

void FrmConvTest::initTestCase() {
  QVERIFY(scratch_.isValid());
  QVERIFY(!WriteFile(scratch_.filePath("MOV0612.DAT"), MovementFile(2)).isEmpty());
  QVERIFY(!WriteFile(scratch_.filePath("notes.txt"), "x").isEmpty());
  QVERIFY(QDir(scratch_.path()).mkdir("sub"));
  QVERIFY(QDir::setCurrent(scratch_.path()));
}

void FrmConvTest::init() {
  created_ = std::make_unique<frmConv>();
  window_ = std::make_unique<frmConv>();
  window_->show();
  window_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window_.get()));
}

void FrmConvTest::cleanup() {
  window_.reset();
  created_.reset();
}

QString FrmConvTest::focusedControl() const {
  for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
    if (kControlNames.contains(w->objectName())) return w->objectName();
  }
  return {};
}

// Expected places in pixels, worked out by hand from the twips (÷ 15),
// relative to the container.
void FrmConvTest::controlsAtCreation_data() {
  QTest::addColumn<QString>("container");
  QTest::addColumn<QRect>("place");
  QTest::addColumn<QString>("text");  // for the controls that show one
  QTest::addColumn<bool>("enabled");

  const auto row = [](const char* name, const char* container, QRect place, const char* text,
                      bool enabled = true) {
    QTest::newRow(name) << container << place << QString::fromUtf8(text) << enabled;
  };
  row("Frame1", "frmConv", {8, 8, 737, 537}, "");
  row("Label1", "Frame1", {16, 24, 273, 17}, "Nome do Arquivo:");
  row("txtConverte", "Frame1", {16, 40, 273, 19}, "");
  row("fileDTA", "Frame1", {16, 72, 273, 158}, "");
  row("Label2", "Frame1", {16, 240, 273, 17}, "Lista arquivos do tipo:");
  row("cboTipo", "Frame1", {16, 256, 273, 21}, "");
  row("Label3", "Frame1", {304, 24, 137, 17}, "Diretórios:");
  row("Label4", "Frame1", {304, 40, 257, 25}, "diretorio aqui");
  row("dirDTA", "Frame1", {304, 72, 257, 152}, "");
  row("Label5", "Frame1", {304, 240, 257, 17}, "Drives:");
  row("lstResultado", "Frame1", {16, 296, 705, 198}, "");
  row("driveDTA", "Frame1", {304, 256, 257, 21}, "");
  row("Label6", "Frame1", {680, 512, 41, 17}, "ZRKQ");
  row("Frame2", "Frame1", {568, 16, 153, 209}, "");
  row("cmdOK", "Frame2", {8, 168, 137, 33}, "&Ok");
  row("Option1", "Frame2", {8, 16, 137, 17}, "CSV", false);
  row("Option2", "Frame2", {8, 32, 137, 17}, "VARNO", false);
  row("Option3", "Frame2", {8, 48, 137, 17}, "TOTAL DIARIO", false);
  row("Option4", "Frame2", {8, 64, 137, 17}, "MOV POR HORA", false);
  row("Option5", "Frame2", {8, 80, 137, 17}, "VFR EM ROTA", false);
}

void FrmConvTest::controlsAtCreation() {
  QFETCH(QString, container);
  QFETCH(QRect, place);
  QFETCH(QString, text);
  QFETCH(bool, enabled);

  const QString name = QString::fromLatin1(QTest::currentDataTag());
  auto* w = created_->findChild<QWidget*>(name);
  QVERIFY(w != nullptr);
  QCOMPARE(w->parentWidget()->objectName(), container);
  QCOMPARE(w->geometry(), place);
  QCOMPARE(w->isEnabled(), enabled);
  QVERIFY(w->isVisibleTo(created_.get()));
  // Text boxes, labels and buttons show their text; an edit field shows
  // nothing yet.
  const QVariant shown = w->property("text");
  if (shown.isValid()) QCOMPARE(shown.toString(), text);
  if (const auto* option = qobject_cast<QRadioButton*>(w)) QVERIFY(!option->isChecked());
}

void FrmConvTest::windowAtCreation() {
  QCOMPARE(created_->objectName(), QString("frmConv"));
  QCOMPARE(created_->windowTitle(), QString("KOVA/DTA Conversor"));
  QCOMPARE(created_->size(), QSize(757, 560));
  QCOMPARE(created_->minimumSize(), created_->maximumSize());
  const QList<QSize> iconSizes = created_->windowIcon().availableSizes();
  QVERIFY(iconSizes.contains(QSize(16, 16)));
  QVERIFY(iconSizes.contains(QSize(32, 32)));

  QCOMPARE(focusedControl(), QString("txtConverte"));  // in the shown window
  QVERIFY(created_->findChild<QLineEdit*>("txtConverte")->text().isEmpty());
  QCOMPARE(created_->findChild<QListView*>("lstResultado")->model()->rowCount(), 0);
  auto* cboTipo = created_->findChild<QComboBox*>("cboTipo");
  QVERIFY(cboTipo->isEditable());
  QCOMPARE(cboTipo->count(), 0);
  QVERIFY(cboTipo->currentText().isEmpty());

  // The accented letter is one character, and the font can draw it.
  const QString directories = control<QLabel>("Label3")->text();
  QCOMPARE(directories.at(5), QChar(0x00F3));
  QVERIFY(QFontMetrics(control("Label3")->font()).inFont(QChar(0x00F3)));
}

void FrmConvTest::browsingListsStartInTheWorkingDirectory() {
  const QString here = QDir::toNativeSeparators(QDir::currentPath());
  auto* fileDTA = created_->findChild<FileList*>("fileDTA");
  QCOMPARE(fileDTA->pattern(), QString("*.*"));
  QCOMPARE(Shown(fileDTA->path()), here);
  QCOMPARE(Rows(*fileDTA), (QStringList{"MOV0612.DAT", "notes.txt"}));
  QVERIFY(fileDTA->fileName().isEmpty());
  QCOMPARE(Shown(created_->findChild<DirList*>("dirDTA")->path()), here);
  QCOMPARE(Shown(created_->findChild<DriveList*>("driveDTA")->drive()),
           QDir::toNativeSeparators(QStorageInfo(QDir::currentPath()).rootPath()));
}

void FrmConvTest::fontsAreTheWindowsBoldFontAndAFixedPitchLog() {
  for (const QString& name : kControlNames) {
    const QFontInfo font = control(name)->fontInfo();
    QVERIFY2(font.bold(), qPrintable(name));
    QVERIFY2(!font.italic() && !font.underline() && !font.strikeOut(), qPrintable(name));
    QVERIFY2(qAbs(font.pointSizeF() - 8.25) < 0.5, qPrintable(name));
    QCOMPARE(font.fixedPitch(), name == "lstResultado");
  }
  // The log's rows are one font high: no eliding room, no extra leading.
  QCOMPARE(control("lstResultado")->font().pointSizeF(), 8.25);
}

// Points in the window's client area, on a control's background and
// clear of any text.
void FrmConvTest::coloursAtCreation_data() {
  QTest::addColumn<QPoint>("point");
  QTest::addColumn<QString>("inputField");  // empty: orange expected

  QTest::newRow("window margin") << QPoint(3, 3) << "";
  QTest::newRow("Frame1") << QPoint(400, 295) << "";
  QTest::newRow("Frame2") << QPoint(646, 160) << "";
  QTest::newRow("Label1") << QPoint(284, 40) << "";
  QTest::newRow("Label4") << QPoint(552, 68) << "";
  QTest::newRow("Label5") << QPoint(552, 254) << "";
  QTest::newRow("Label6") << QPoint(727, 530) << "";
  QTest::newRow("Option5") << QPoint(718, 112) << "";
  QTest::newRow("txtConverte") << QPoint(224, 58) << "txtConverte";
  QTest::newRow("fileDTA") << QPoint(224, 220) << "fileDTA";
  QTest::newRow("cboTipo") << QPoint(124, 274) << "cboTipo";
  QTest::newRow("dirDTA") << QPoint(512, 86) << "dirDTA";  // the root's row, right of its name
  QTest::newRow("lstResultado") << QPoint(400, 400) << "lstResultado";
}

void FrmConvTest::coloursAtCreation() {
  QFETCH(QPoint, point);
  QFETCH(QString, inputField);
  const QImage image = window_->grab().toImage();
  const QColor expected =
      inputField.isEmpty() ? kOrange : control(inputField)->palette().color(QPalette::Base);
  QCOMPARE(image.pixelColor(point), expected);
  if (!inputField.isEmpty()) QCOMPARE(expected, QApplication::palette().color(QPalette::Base));
}

// Each pair shares one row of pixels; the point lies on it, in the
// window's client area.
void FrmConvTest::boxesCoverTheLabelsTheyOverlap_data() {
  QTest::addColumn<QPoint>("point");
  QTest::addColumn<QString>("onTop");

  QTest::newRow("Label1 under txtConverte") << QPoint(108, 48) << "txtConverte";
  QTest::newRow("Label2 under cboTipo") << QPoint(108, 264) << "cboTipo";
  QTest::newRow("Label3 under Label4") << QPoint(338, 48) << "Label4";
  QTest::newRow("Label5 under driveDTA") << QPoint(408, 264) << "driveDTA";
  QTest::newRow("Option1 under Option2") << QPoint(626, 56) << "Option2";
}

void FrmConvTest::boxesCoverTheLabelsTheyOverlap() {
  QFETCH(QPoint, point);
  QFETCH(QString, onTop);
  QWidget* hit = window_->childAt(point);
  QVERIFY(hit != nullptr);
  QWidget* expected = control(onTop);
  QVERIFY2(hit == expected || expected->isAncestorOf(hit), qPrintable(hit->objectName()));
}

void FrmConvTest::pathBoxHasNoLengthLimit() {
  const QString longPath = QString(40000, u'a');
  auto* txtConverte = control<QLineEdit>("txtConverte");
  txtConverte->setText(longPath);
  QCOMPARE(txtConverte->text(), longPath);
}

void FrmConvTest::tabCycle_data() {
  QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
  QTest::addColumn<QStringList>("visits");

  QStringList backwards(kTabCycle.crbegin(), kTabCycle.crend());
  QTest::newRow("Tab") << Qt::KeyboardModifiers() << kTabCycle;
  QTest::newRow("Shift+Tab") << Qt::KeyboardModifiers(Qt::ShiftModifier) << backwards;
}

void FrmConvTest::tabCycle() {
  QFETCH(Qt::KeyboardModifiers, modifiers);
  QFETCH(QStringList, visits);

  QCOMPARE(focusedControl(), visits.first());
  QStringList visited = {focusedControl()};
  for (qsizetype step = 1; step < visits.size(); ++step) {
    const Qt::Key key = modifiers == Qt::ShiftModifier ? Qt::Key_Backtab : Qt::Key_Tab;
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    visited.append(focusedControl());
  }
  QCOMPARE(visited, visits);
}

void FrmConvTest::altOPressesOkFromAnyControl_data() {
  QTest::addColumn<QString>("focused");
  for (qsizetype i = 0; i + 1 < kTabCycle.size(); ++i) {
    QTest::newRow(qPrintable(kTabCycle[i])) << kTabCycle[i];
  }
}

void FrmConvTest::altOPressesOkFromAnyControl() {
  QFETCH(QString, focused);
  control(focused)->setFocus();
  QCOMPARE(focusedControl(), focused);
  QSignalSpy pressed(control<QPushButton>("cmdOK"), &QPushButton::clicked);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
  // The button shows itself pressed for a moment before it reports.
  QTRY_COMPARE(pressed.count(), 1);
  QVERIFY(control<QLineEdit>("txtConverte")->text().isEmpty());
}

void FrmConvTest::otherKeysDoNotPressOk_data() {
  QTest::addColumn<QString>("focused");
  QTest::addColumn<int>("key");  // with its modifiers

  QTest::newRow("Return in txtConverte") << "txtConverte" << int(Qt::Key_Return);
  QTest::newRow("Enter in txtConverte") << "txtConverte" << int(Qt::Key_Enter);
  QTest::newRow("Escape in txtConverte") << "txtConverte" << int(Qt::Key_Escape);
  QTest::newRow("O alone in txtConverte") << "txtConverte" << int(Qt::Key_O);
  QTest::newRow("Return in cboTipo") << "cboTipo" << int(Qt::Key_Return);
  QTest::newRow("Return in fileDTA") << "fileDTA" << int(Qt::Key_Return);
  QTest::newRow("Escape in lstResultado") << "lstResultado" << int(Qt::Key_Escape);
  QTest::newRow("Ctrl+Return on cmdOK")
      << "cmdOK" << (Qt::ControlModifier | Qt::Key_Return).toCombined();
}

void FrmConvTest::otherKeysDoNotPressOk() {
  QFETCH(QString, focused);
  QFETCH(int, key);
  control(focused)->setFocus();
  QSignalSpy pressed(control<QPushButton>("cmdOK"), &QPushButton::clicked);
  const QKeyCombination typed = QKeyCombination::fromCombined(key);
  QTest::keyClick(QApplication::focusWidget(), typed.key(), typed.keyboardModifiers());
  // A press by key shows the button down at once and reports it later.
  QVERIFY(!control<QPushButton>("cmdOK")->isDown());
  QCOMPARE(pressed.count(), 0);
}

void FrmConvTest::enterOnAFocusedOkPressesIt_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
  QTest::newRow("Return") << int(Qt::Key_Return) << Qt::KeyboardModifiers();
  QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

void FrmConvTest::enterOnAFocusedOkPressesIt() {
  QFETCH(int, key);
  QFETCH(Qt::KeyboardModifiers, modifiers);
  auto* ok = control<QPushButton>("cmdOK");
  ok->setFocus();
  QSignalSpy pressed(ok, &QPushButton::clicked);
  QTest::keyClick(ok, Qt::Key(key), modifiers);
  QTRY_COMPARE(pressed.count(), 1);
}

void FrmConvTest::controlsHaveAccessibleNames_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("accessible");
  QTest::newRow("txtConverte") << "txtConverte"
                               << "Nome do Arquivo";
  QTest::newRow("fileDTA") << "fileDTA"
                           << "Arquivos";
  QTest::newRow("cboTipo") << "cboTipo"
                           << "Lista arquivos do tipo";
  QTest::newRow("dirDTA") << "dirDTA" << QString::fromUtf8("Diretórios");
  QTest::newRow("driveDTA") << "driveDTA"
                            << "Drives";
  QTest::newRow("lstResultado") << "lstResultado" << QString::fromUtf8("Resultado da conversão");
  QTest::newRow("Label4") << "Label4" << QDir::toNativeSeparators(QDir::currentPath());
}

// As a screen reader reads them: the drop-downs too by name, not by text.
void FrmConvTest::controlsHaveAccessibleNames() {
  QFETCH(QString, name);
  QFETCH(QString, accessible);
  QAccessibleInterface* described = QAccessible::queryAccessibleInterface(control(name));
  QVERIFY(described != nullptr);
  QCOMPARE(described->text(QAccessible::Name), accessible);
}

// 1366 × 768 at 150 %, less a panel: the window in a scrolled view, whose
// bottom right, "ZRKQ" included, can be scrolled into sight.
void FrmConvTest::aSmallScreenScrollsTheWindow() {
  auto* window = new frmConv;
  const QPointer<QWidget> shown = ShowOnScreen(window, QSize(910, 480));
  const auto closed = qScopeGuard([&shown] { delete shown; });
  auto* view = qobject_cast<QScrollArea*>(shown.data());
  QVERIFY(view != nullptr);
  QCOMPARE(view->height(), 480);
  view->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(view));
  QCOMPARE(view->windowTitle(), QString("KOVA/DTA Conversor 0.9"));
  view->ensureWidgetVisible(window->findChild<QWidget*>("Label6"));
  const QWidget* label6 = window->findChild<QWidget*>("Label6");
  const QRect inView(label6->mapTo(view->viewport(), QPoint()), label6->size());
  QVERIFY(view->viewport()->rect().contains(inView));
}

void FrmConvTest::clickingAnOptionChangesNothing_data() {
  QTest::addColumn<QString>("option");
  QTest::addColumn<QPoint>("point");  // in the button
  for (const char* option : {"Option1", "Option2", "Option3", "Option4", "Option5"}) {
    QTest::addRow("%s button", option) << option << QPoint(7, 8);
    QTest::addRow("%s text", option) << option << QPoint(40, 8);
  }
}

void FrmConvTest::clickingAnOptionChangesNothing() {
  QFETCH(QString, option);
  QFETCH(QPoint, point);
  QList<QRadioButton*> options = window_->findChildren<QRadioButton*>();
  QCOMPARE(options.size(), 5);
  QTest::mouseClick(control(option), Qt::LeftButton, Qt::KeyboardModifiers(), point);
  QTest::keyClick(control(option), Qt::Key_Space);
  for (const QRadioButton* each : options) QVERIFY(!each->isChecked());
  QCOMPARE(focusedControl(), QString("txtConverte"));
}

void FrmConvTest::logListShowsTheRunsLines() {
  const QString path = WriteFile(scratch_.filePath("RUN.DAT"), MovementFile(3));
  QVERIFY(!path.isEmpty());
  QVERIFY(window_->convert(PathOf(path)));

  // The same run done directly gives the lines to expect; only the time of
  // day in front of each may differ.
  ravuvur::ModuleState reference;
  QVERIFY(ravuvur::RunConversion(reference, path.toStdString()));
  const std::vector<std::string> lines = reference.log.Lines();
  const QAbstractItemModel* shown = control<QListView>("lstResultado")->model();
  QCOMPARE(shown->rowCount(), static_cast<int>(lines.size()));
  for (int row = 0; row < shown->rowCount(); ++row) {
    const QString expected = QString::fromStdString(lines[static_cast<std::size_t>(row)]);
    const QString message = expected.mid(expected.indexOf(u' ') + 1);
    QVERIFY2(shown->index(row, 0).data().toString().endsWith(message), qPrintable(message));
  }
  QVERIFY(shown->index(0, 0).data().toString().endsWith(
      QString::fromUtf8("000 Iniciando a conversão")));
}

void FrmConvTest::logListStaysAtTheTopAfterALongRun() {
  const QString path = WriteFile(scratch_.filePath("LONG.DAT"), MovementFile(40));
  QVERIFY(!path.isEmpty());
  auto* list = control<QListView>("lstResultado");
  for (int run = 1; run <= 2; ++run) {
    QVERIFY(window_->convert(PathOf(path)));
    QCOMPARE(list->model()->rowCount(), 40 + 18);
    QVERIFY(list->verticalScrollBar()->isVisible());
    QVERIFY(list->verticalScrollBar()->maximum() > 0);
    QCOMPARE(list->verticalScrollBar()->value(), 0);
    QCOMPARE(list->indexAt(QPoint(2, 2)).row(), 0);
    QVERIFY(!list->currentIndex().isValid());
    // Scrolled to the statistics; the next run starts at the top again.
    list->scrollToBottom();
    QVERIFY(list->verticalScrollBar()->value() > 0);
  }
}

// Scrolled just far enough: the error line is the last one in sight.
void FrmConvTest::logListShowsTheFirstErrorOfAFailedRun() {
  ravuvur::ProgressLog log([] { return std::string_view("12:00:00"); });
  for (int row = 0; row < 40; ++row) log.Append(std::to_string(row));
  LogList list(log);
  list.resize(300, 120);
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  list.showRun(30);
  const QModelIndex error = list.model()->index(30, 0);
  QVERIFY(list.viewport()->rect().contains(list.visualRect(error)));
  QVERIFY(!list.viewport()->rect().contains(list.visualRect(list.model()->index(31, 0))));
}

void FrmConvTest::logListCutsLongLinesAtItsRightEdge_data() {
  QTest::addColumn<int>("longRow");
  QTest::newRow("first line long") << 0;
  QTest::newRow("later line long") << 1;
}

// Rows of capital W fill the upper half of the text; an ellipsis would
// leave it empty at the right edge.
void FrmConvTest::logListCutsLongLinesAtItsRightEdge() {
  QFETCH(int, longRow);
  ravuvur::ProgressLog log([] { return std::string_view("12:00:00"); });
  for (int row = 0; row < 3; ++row) log.Append(std::string(row == longRow ? 300 : 5, 'W'));
  LogList list(log);
  list.setFont(control("lstResultado")->font());
  list.resize(300, 120);
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  list.showFromTop();
  list.setFocus();
  list.setCurrentIndex(list.model()->index(longRow, 0));
  QTest::keyClick(&list, Qt::Key_End);
  QTest::keyClick(&list, Qt::Key_Right);

  QCOMPARE(list.horizontalScrollBar()->value(), 0);
  QCOMPARE(list.horizontalScrollBar()->maximum(), 0);
  const QRect longRect = list.visualRect(list.model()->index(longRow, 0));
  QCOMPARE(longRect.height(), list.visualRect(list.model()->index(2, 0)).height());

  list.clearSelection();
  list.setCurrentIndex(QModelIndex());
  const QImage image = list.viewport()->grab().toImage();
  const QColor background = list.palette().color(QPalette::Base);
  bool inkAtTheEdge = false;
  for (int x = image.width() - 4; x < image.width(); ++x) {
    for (int y = longRect.top(); y < longRect.center().y(); ++y) {
      inkAtTheEdge = inkAtTheEdge || image.pixelColor(x, y) != background;
    }
  }
  QVERIFY(inkAtTheEdge);
}

void FrmConvTest::logListShowsEachLineOnOneRow_data() {
  QTest::addColumn<QString>("line");  // as logged, in UTF-8
  QTest::newRow("line feed") << "021 ERRO: a\nb";
  QTest::newRow("line separator") << QStringLiteral("021 ERRO: a\u2028b");
}

// The height the list's own delegate gives the line's row.
void FrmConvTest::logListShowsEachLineOnOneRow() {
  QFETCH(QString, line);
  ravuvur::ProgressLog log([] { return std::string_view("12:00:00"); });
  log.Append("021 ERRO: ab");
  log.Append(line.toStdString());
  LogList list(log);
  list.showFromTop();
  QStyleOptionViewItem option;
  option.initFrom(&list);
  const auto height = [&list, &option](int row) {
    return list.itemDelegate()->sizeHint(option, list.model()->index(row, 0)).height();
  };
  QCOMPARE(height(1), height(0));
}

QTEST_MAIN(FrmConvTest)
#include "frm_conv_test.moc"
