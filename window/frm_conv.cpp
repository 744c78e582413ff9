#include "window/frm_conv.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

#include <initializer_list>
#include <string_view>
#include <utility>

#include "conversion/run_conversion.h"
#include "window/click_label.h"
#include "window/dir_list.h"
#include "window/drive_list.h"
#include "window/file_list.h"
#include "window/log_list.h"
#include "window/path_box.h"
#include "window/path_label.h"
#include "window/pattern_box.h"

namespace {

// One control's place, in twips (1440 to the inch, 15 to a pixel at 96 dots
// per inch), relative to its container: the window's client area for
// Frame1, the frame's outer rectangle for a control inside a frame.
struct ControlRow {
  std::string_view name;
  std::string_view container;
  std::string_view text;  // UTF-8, at creation; empty where there is none
  int left;
  int top;
  int width;
  int height;
  int tab;
};

// In tab order, which is also the order of creation. A later sibling is
// drawn over an earlier one, so each box or list covers the one-pixel
// overlap with the label above it.
// clang-format off
constexpr ControlRow kControls[] = {
    // name          container  text at creation            left   top  width height tab
    {"Frame1",       "frmConv", "",                          120,  120, 11055, 8055,  0},
    {"Label1",       "Frame1",  "Nome do Arquivo:",          240,  360,  4095,  255,  1},
    {"txtConverte",  "Frame1",  "",                          240,  600,  4095,  285,  2},
    {"fileDTA",      "Frame1",  "",                          240, 1080,  4095, 2370,  3},
    {"Label2",       "Frame1",  "Lista arquivos do tipo:",   240, 3600,  4095,  255,  4},
    {"cboTipo",      "Frame1",  "",                          240, 3840,  4095,  315,  5},
    {"Label3",       "Frame1",  "Diretórios:",              4560,  360,  2055,  255,  6},
    {"Label4",       "Frame1",  "diretorio aqui",           4560,  600,  3855,  375,  7},
    {"dirDTA",       "Frame1",  "",                         4560, 1080,  3855, 2280,  8},
    {"Label5",       "Frame1",  "Drives:",                  4560, 3600,  3855,  255,  9},
    {"lstResultado", "Frame1",  "",                          240, 4440, 10575, 2970, 10},
    {"driveDTA",     "Frame1",  "",                         4560, 3840,  3855,  315, 11},
    {"Label6",       "Frame1",  "ZRKQ",                    10200, 7680,   615,  255, 12},
    {"Frame2",       "Frame1",  "",                         8520,  240,  2295, 3135, 13},
    {"cmdOK",        "Frame2",  "&Ok",                       120, 2520,  2055,  495, 14},
    {"Option1",      "Frame2",  "CSV",                       120,  240,  2055,  255, 15},
    {"Option2",      "Frame2",  "VARNO",                     120,  480,  2055,  255, 16},
    {"Option3",      "Frame2",  "TOTAL DIARIO",              120,  720,  2055,  255, 17},
    {"Option4",      "Frame2",  "MOV POR HORA",              120,  960,  2055,  255, 18},
    {"Option5",      "Frame2",  "VFR EM ROTA",               120, 1200,  2055,  255, 19},
};
// clang-format on

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidth = 11355;  // twips
constexpr int kClientHeight = 8400;  // twips

constexpr bool WholePixels(int twips) { return twips % kTwipsPerPixel == 0; }

// A figure that is not a whole pixel or a row out of tab order is a typo.
constexpr bool TableIsSound() {
  int previousTab = -1;
  for (const ControlRow& row : kControls) {
    if (!WholePixels(row.left) || !WholePixels(row.top) || !WholePixels(row.width) ||
        !WholePixels(row.height) || row.tab != previousTab + 1) {
      return false;
    }
    previousTab = row.tab;
  }
  return WholePixels(kClientWidth) && WholePixels(kClientHeight);
}
static_assert(TableIsSound());

// A misspelt name fails to compile.
consteval const ControlRow& Row(std::string_view name) {
  for (const ControlRow& row : kControls) {
    if (row.name == name) return row;
  }
  throw "no control of that name";
}

// The one place twips become pixels.
constexpr int ToPixels(int twips) { return twips / kTwipsPerPixel; }
QRect ToPixels(const ControlRow& row) {
  return {ToPixels(row.left), ToPixels(row.top), ToPixels(row.width), ToPixels(row.height)};
}

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Gives `control` its name, puts it into its container and at its place.
template <class Control>
Control* Place(Control* control, const ControlRow& row, QWidget* window) {
  QWidget* container =
      row.container == "frmConv" ? window : window->findChild<QWidget*>(Utf8(row.container));
  Q_ASSERT_X(container, "Place", "a container must be made before its controls");
  control->setParent(container);
  control->setObjectName(Utf8(row.name));
  control->setGeometry(ToPixels(row));
  return control;
}

// An etched border around its controls, with no title and no fill of its
// own.
QFrame* MakeFrame(const ControlRow& row, QWidget* window) {
  auto* frame = Place(new QFrame, row, window);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  return frame;
}

template <class Label = QLabel>
Label* MakeLabel(const ControlRow& row, QWidget* window) {
  auto* label = Place(new Label(Utf8(row.text)), row, window);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

// Draws `control`'s text in the control text colour rather than the
// window text colour, in every state.
void UseControlTextColour(QWidget* control) {
  QPalette palette = control->palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::WindowText, palette.color(group, QPalette::ButtonText));
  }
  control->setPalette(palette);
}

// The output kinds other than CSV were never built, and CSV is the only
// thing a run writes, so the buttons stay greyed and unselected. Being
// siblings in Frame2, the five form one exclusive group.
QRadioButton* MakeOption(const ControlRow& row, QWidget* window) {
  auto* option = Place(new QRadioButton(Utf8(row.text)), row, window);
  option->setEnabled(false);
  UseControlTextColour(option);
  return option;
}

// The first of `families` installed here, else the last one, for which
// the font matcher finds the nearest font of the same kind.
QFont BoldFont(std::initializer_list<const char*> families, QFont::StyleHint kind) {
  const char* family = *(families.end() - 1);
  for (const char* candidate : families) {
    if (QFontDatabase::hasFamily(QString::fromLatin1(candidate))) {
      family = candidate;
      break;
    }
  }
  QFont font(QString::fromLatin1(family));
  font.setStyleHint(kind);
  font.setFixedPitch(kind == QFont::TypeWriter);
  font.setPointSizeF(8.25);
  font.setWeight(QFont::Bold);
  return font;
}

}  // namespace

// The icons sit in a static library, where nothing else references them;
// this keeps them. Outside any namespace, as the resource macro requires.
static void InitResources() { Q_INIT_RESOURCE(zizadod5); }

frmConv::frmConv(DriveRoots driveRoots, QWidget* parent) : QWidget(parent) {
  static const bool resourcesReady = (InitResources(), true);
  Q_UNUSED(resourcesReady);

  setObjectName(QStringLiteral("frmConv"));
  setWindowTitle(QStringLiteral("KOVA/DTA Conversor"));
  QIcon icon;
  icon.addFile(QStringLiteral(":/icons/zizadod5-16.png"), QSize(16, 16));
  icon.addFile(QStringLiteral(":/icons/zizadod5-32.png"), QSize(32, 32));
  setWindowIcon(icon);
  setFixedSize(ToPixels(kClientWidth), ToPixels(kClientHeight));

  // The frames, the labels and the option buttons draw no background of
  // their own, so they show the window's orange.
  QPalette orange = palette();
  orange.setColor(QPalette::Window, QColor(255, 128, 0));
  setPalette(orange);
  setAutoFillBackground(true);
  setFont(BoldFont({"MS Sans Serif", "Liberation Sans", "DejaVu Sans"}, QFont::SansSerif));

  // Created in table order (see kControls).
  Frame1 = MakeFrame(Row("Frame1"), this);
  Label1 = MakeLabel(Row("Label1"), this);
  txtConverte = Place(new PathBox, Row("txtConverte"), this);
  fileDTA = Place(new FileList, Row("fileDTA"), this);
  Label2 = MakeLabel(Row("Label2"), this);
  cboTipo = Place(new PatternBox, Row("cboTipo"), this);
  Label3 = MakeLabel(Row("Label3"), this);
  Label4 = MakeLabel<PathLabel>(Row("Label4"), this);
  dirDTA = Place(new DirList, Row("dirDTA"), this);
  Label5 = MakeLabel(Row("Label5"), this);
  lstResultado = Place(new LogList(state_.log), Row("lstResultado"), this);
  lstResultado->setFont(
      BoldFont({"Courier New", "Liberation Mono", "DejaVu Sans Mono"}, QFont::TypeWriter));
  driveDTA = Place(new DriveList(std::move(driveRoots)), Row("driveDTA"), this);
  Label6 = MakeLabel<ClickLabel>(Row("Label6"), this);
  Label6->setForegroundRole(QPalette::ButtonText);
  Frame2 = MakeFrame(Row("Frame2"), this);
  cmdOK = Place(new QPushButton(Utf8(Row("cmdOK").text)), Row("cmdOK"), this);
  // Enter and Escape belong to the control that has the focus; only a
  // click or Alt+O presses the button.
  cmdOK->setAutoDefault(false);
  cmdOK->setDefault(false);
  Option1 = MakeOption(Row("Option1"), this);
  Option2 = MakeOption(Row("Option2"), this);
  Option3 = MakeOption(Row("Option3"), this);
  Option4 = MakeOption(Row("Option4"), this);
  Option5 = MakeOption(Row("Option5"), this);

  // Every control in tab index order; labels, frames and the disabled
  // option buttons keep their places in the chain but never take the focus.
  QWidget* previous = nullptr;
  for (const ControlRow& row : kControls) {
    auto* control = findChild<QWidget*>(Utf8(row.name));
    if (previous != nullptr) setTabOrder(previous, control);
    previous = control;
  }
  txtConverte->setFocus();

  // Closing the window unloads it, and the program ends with it.
  setAttribute(Qt::WA_DeleteOnClose);

  // Every notification the window answers, in one place. Loading and
  // activation come through event(), the end through the destructor.
  connect(driveDTA, &DriveList::driveChanged, this, &frmConv::driveDTA_Change);
  connect(dirDTA, &DirList::pathChanged, this, &frmConv::dirDTA_Change);
  connect(cboTipo, &PatternBox::changed, this, &frmConv::cboTipo_Change);
  connect(cboTipo, &PatternBox::lostFocus, this, &frmConv::cboTipo_LostFocus);
  connect(fileDTA, &FileList::fileClicked, this, &frmConv::fileDTA_Click);
  connect(fileDTA, &FileList::fileDoubleClicked, this, &frmConv::fileDTA_DblClick);
  connect(cmdOK, &QPushButton::clicked, this, &frmConv::cmdOK_Click);
  connect(Label6, &ClickLabel::clicked, this, &frmConv::Label6_Click);
}

frmConv::~frmConv() { Form_Terminate(); }

bool frmConv::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Show:
      if (!loaded_) {
        loaded_ = true;
        Form_Load();
      }
      break;
    case QEvent::ActivationChange:
      if (isActiveWindow()) Form_Activate();
      break;
    default: break;
  }
  return QWidget::event(event);
}

void frmConv::Form_Load() {
  cboTipo->addItems({QStringLiteral("*.*"), QStringLiteral("*.DAT"), QStringLiteral("*.CSV")});
  cboTipo->setText(QStringLiteral("*.DAT"));
  Label4->setPath(Shown(dirDTA->path()));
  AppVersion = QStringLiteral("0.9");
  LineBreak = QStringLiteral("\r\n");
}

// On the first display, and again whenever the user comes back to the
// window, the about box included.
void frmConv::Form_Activate() {
  setWindowTitle(QStringLiteral("KOVA/DTA Conversor ") + AppVersion);
}

// The window has been closed and is going away; nothing outlives it.
void frmConv::Form_Terminate() { QCoreApplication::quit(); }

// The drive's root, where the directory list starts browsing it, whether
// another drive was chosen or the one already shown. A drive that went away
// between being chosen and being read leaves everything as it was, the
// drive list included.
void frmConv::driveDTA_Change() {
  if (!dirDTA->setPath(driveDTA->drive())) driveDTA->showDriveOf(dirDTA->path());
}

// A directory that went away between the two listings takes the directory
// list back to where the file list still is. The drive list follows the
// directory, onto another drive too.
void frmConv::dirDTA_Change() {
  if (!fileDTA->setPath(dirDTA->path())) {
    dirDTA->setPath(fileDTA->path());
    return;
  }
  Label4->setPath(Shown(dirDTA->path()));
  driveDTA->showDriveOf(dirDTA->path());
}

void frmConv::cboTipo_Change() { fileDTA->setPattern(cboTipo->currentText()); }

void frmConv::cboTipo_LostFocus() { fileDTA->setPattern(cboTipo->currentText()); }

// Directory, separator, name, whatever the directory ends in: a file in
// the root gets two separators in a row, which names the same file.
void frmConv::fileDTA_Click() { txtConverte->setPath(fileDTA->filePath()); }

// The click before the double click has put the file's path in txtConverte.
void frmConv::fileDTA_DblClick() { cmdOK_Click(); }

// Converts whatever txtConverte holds, chosen or typed. The file list is
// read again afterwards so it shows the CSV the run wrote, if the pattern
// takes it.
void frmConv::cmdOK_Click() {
  convert(txtConverte->path());
  fileDTA->refresh();
}

void frmConv::Label6_Click() {
  QMessageBox about(QMessageBox::NoIcon, QStringLiteral("ZIZADOD5"),
                    QStringLiteral("KOVA/DTA Conversor") + LineBreak + LineBreak +
                        QStringLiteral("Desenvolvido por") + LineBreak +
                        QStringLiteral("suporte@zizadod5.example.org"),
                    QMessageBox::Ok, this);
  about.exec();
}

bool frmConv::convert(const FsPath& inputPath) {
  const bool converted = ravuvur::RunConversion(state_, PathBytes(inputPath));
  showLog();
  return converted;
}

void frmConv::showLog() { lstResultado->showFromTop(); }
