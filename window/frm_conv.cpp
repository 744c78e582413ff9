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
#include "screen/layout.h"
#include "window/click_label.h"
#include "window/dir_list.h"
#include "window/drive_list.h"
#include "window/file_list.h"
#include "window/log_list.h"
#include "window/path_box.h"
#include "window/path_label.h"
#include "window/pattern_box.h"

namespace {

using screen::Control;
using screen::ControlPlace;

// Twips become pixels at 96 dots per inch, as the layout was drawn for:
// Qt scales the window for the screen from there.
QRect ToPixels(const ControlPlace& row) {
  const screen::PixelRect pixels = screen::ToPixels(row, 96);
  return {pixels.left, pixels.top, pixels.width, pixels.height};
}

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Gives `control` its name, puts it into its container and at its place.
template <class Control>
Control* Place(Control* control, const ControlPlace& row, QWidget* window) {
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
QFrame* MakeFrame(const ControlPlace& row, QWidget* window) {
  auto* frame = Place(new QFrame, row, window);
  frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
  return frame;
}

template <class Label = QLabel>
Label* MakeLabel(const ControlPlace& row, QWidget* window) {
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
QRadioButton* MakeOption(const ControlPlace& row, QWidget* window) {
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
  setFixedSize(screen::ToPixels(screen::kClientWidth, 96),
               screen::ToPixels(screen::kClientHeight, 96));

  // The frames, the labels and the option buttons draw no background of
  // their own, so they show the window's orange.
  QPalette orange = palette();
  orange.setColor(QPalette::Window, QColor(255, 128, 0));
  setPalette(orange);
  setAutoFillBackground(true);
  setFont(BoldFont({"MS Sans Serif", "Liberation Sans", "DejaVu Sans"}, QFont::SansSerif));

  // Created in table order (see screen::kControls).
  Frame1 = MakeFrame(Control("Frame1"), this);
  Label1 = MakeLabel(Control("Label1"), this);
  txtConverte = Place(new PathBox, Control("txtConverte"), this);
  fileDTA = Place(new FileList, Control("fileDTA"), this);
  Label2 = MakeLabel(Control("Label2"), this);
  cboTipo = Place(new PatternBox, Control("cboTipo"), this);
  Label3 = MakeLabel(Control("Label3"), this);
  Label4 = MakeLabel<PathLabel>(Control("Label4"), this);
  dirDTA = Place(new DirList, Control("dirDTA"), this);
  Label5 = MakeLabel(Control("Label5"), this);
  lstResultado = Place(new LogList(state_.log), Control("lstResultado"), this);
  lstResultado->setFont(
      BoldFont({"Courier New", "Liberation Mono", "DejaVu Sans Mono"}, QFont::TypeWriter));
  driveDTA = Place(new DriveList(std::move(driveRoots)), Control("driveDTA"), this);
  Label6 = MakeLabel<ClickLabel>(Control("Label6"), this);
  Label6->setForegroundRole(QPalette::ButtonText);
  Frame2 = MakeFrame(Control("Frame2"), this);
  cmdOK = Place(new QPushButton(Utf8(Control("cmdOK").text)), Control("cmdOK"), this);
  // Enter and Escape belong to the control that has the focus; only a
  // click or Alt+O presses the button.
  cmdOK->setAutoDefault(false);
  cmdOK->setDefault(false);
  Option1 = MakeOption(Control("Option1"), this);
  Option2 = MakeOption(Control("Option2"), this);
  Option3 = MakeOption(Control("Option3"), this);
  Option4 = MakeOption(Control("Option4"), this);
  Option5 = MakeOption(Control("Option5"), this);

  // Every control in tab index order; labels, frames and the disabled
  // option buttons keep their places in the chain but never take the focus.
  QWidget* previous = nullptr;
  for (const ControlPlace& row : screen::kControls) {
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
