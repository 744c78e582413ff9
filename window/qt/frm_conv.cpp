#include "window/qt/frm_conv.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QDropEvent>
#include <QEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "screen/layout.h"
#include "window/qt/click_label.h"
#include "window/qt/combo_accessible.h"
#include "window/qt/dir_list.h"
#include "window/qt/drive_list.h"
#include "window/qt/file_list.h"
#include "window/qt/log_list.h"
#include "window/qt/path_box.h"
#include "window/qt/path_label.h"
#include "window/qt/pattern_box.h"
#include "window/qt/verdict_notice.h"

namespace {

using screen::Control;
using screen::ControlPlace;

// Twips become pixels at 96 dots per inch, as the layout was drawn for:
// Qt scales the window for the screen from there.
QRect ToPixels(const ControlPlace& row) {
  const screen::PixelRect pixels = screen::ToPixels(row, 96);
  return {pixels.left, pixels.top, pixels.width, pixels.height};
}

// The Ok button, pressed by Enter (or keypad Enter) when it has the focus.
// It is no default button: Enter in another control leaves it alone.
class OkButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      animateClick();
      return;
    }
    QPushButton::keyPressEvent(event);
  }
};

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

// Screen readers take a window for what it is by its role; Qt gives a
// plain widget the role of a filler, even when it stands as a window.
QAccessibleInterface* DescribeTheWindow(const QString& kind, QObject* object) {
  auto* window = qobject_cast<QWidget*>(object);
  if (kind != QLatin1String("frmConv") || window == nullptr || !window->isWindow()) return nullptr;
  return new QAccessibleWidget(window, QAccessible::Window);
}

// A drop only looks at what it names, so it asks the source for a copy
// (or a link), never a move, after which the source would delete its file.
std::optional<Qt::DropAction> HarmlessAction(Qt::DropActions offered) {
  if (offered.testFlag(Qt::CopyAction)) return Qt::CopyAction;
  if (offered.testFlag(Qt::LinkAction)) return Qt::LinkAction;
  return std::nullopt;
}

// The items of a drop as the model takes them: a file of this machine by
// its path's own bytes (a name need not be UTF-8), anything else as an
// empty path.
std::vector<FsPath> DroppedItems(const QMimeData& data) {
  std::vector<FsPath> items;
  for (const QUrl& url : data.urls()) {
    const bool local =
        url.isLocalFile() && (url.host().isEmpty() || url.host() == QLatin1String("localhost"));
    const QByteArray path =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    items.push_back(local ? FsPath(path.toStdString()) : FsPath());
  }
  return items;
}

}  // namespace

// The icons sit in a static library, where nothing else references them;
// this keeps them. Outside any namespace, as the resource macro requires.
static void InitResources() { Q_INIT_RESOURCE(zizadod5); }

frmConv::frmConv(DriveRoots driveRoots, QWidget* parent)
    : QWidget(parent), model_(std::move(driveRoots)) {
  static const bool resourcesReady = (InitResources(), true);
  Q_UNUSED(resourcesReady);
  // Before any control exists: screen readers may describe one as soon as
  // it is made.
  NameDropDownsByTheirLabels();
  static const bool windowDescribed = (QAccessible::installFactory(DescribeTheWindow), true);
  Q_UNUSED(windowDescribed);

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
  fileDTA = Place(new FileList(model_), Control("fileDTA"), this);
  Label2 = MakeLabel(Control("Label2"), this);
  cboTipo = Place(new PatternBox, Control("cboTipo"), this);
  Label3 = MakeLabel(Control("Label3"), this);
  Label4 = MakeLabel<PathLabel>(Control("Label4"), this);
  dirDTA = Place(new DirList(model_), Control("dirDTA"), this);
  Label5 = MakeLabel(Control("Label5"), this);
  lstResultado = Place(new LogList(model_.log()), Control("lstResultado"), this);
  lstResultado->setFont(
      BoldFont({"Courier New", "Liberation Mono", "DejaVu Sans Mono"}, QFont::TypeWriter));
  driveDTA = Place(new DriveList(model_), Control("driveDTA"), this);
  Label6 = MakeLabel<ClickLabel>(Control("Label6"), this);
  Label6->setForegroundRole(QPalette::ButtonText);
  Frame2 = MakeFrame(Control("Frame2"), this);
  cmdOK = Place(new OkButton(Utf8(Control("cmdOK").text)), Control("cmdOK"), this);
  // Enter and Escape belong to the control that has the focus; a click,
  // Alt+O or Enter on the button itself presses it.
  cmdOK->setAutoDefault(false);
  cmdOK->setDefault(false);
  Option1 = MakeOption(Control("Option1"), this);
  Option2 = MakeOption(Control("Option2"), this);
  Option3 = MakeOption(Control("Option3"), this);
  Option4 = MakeOption(Control("Option4"), this);
  Option5 = MakeOption(Control("Option5"), this);
  verdictNotice_ = new VerdictNotice(this);

  // Every control in tab index order; labels, frames and the disabled
  // option buttons keep their places in the chain but never take the focus.
  QWidget* previous = nullptr;
  for (const ControlPlace& row : screen::kControls) {
    auto* control = findChild<QWidget*>(Utf8(row.name));
    if (previous != nullptr) setTabOrder(previous, control);
    previous = control;
  }
  txtConverte->setFocus();

  // Each label names the control under it for screen readers; the
  // controls without one are named for what they show.
  Label1->setBuddy(txtConverte);
  Label2->setBuddy(cboTipo);
  Label3->setBuddy(dirDTA);
  Label5->setBuddy(driveDTA);
  txtConverte->setAccessibleName(QStringLiteral("Nome do Arquivo"));
  fileDTA->setAccessibleName(QStringLiteral("Arquivos"));
  cboTipo->setAccessibleName(QStringLiteral("Lista arquivos do tipo"));
  cboTipo->lineEdit()->setAccessibleName(cboTipo->accessibleName());
  dirDTA->setAccessibleName(QStringLiteral("Diretórios"));
  driveDTA->setAccessibleName(QStringLiteral("Drives"));
  lstResultado->setAccessibleName(QStringLiteral("Resultado da conversão"));

  // Files dropped anywhere on the window reach it; the text boxes would
  // otherwise take a dropped file as text.
  setAcceptDrops(true);
  txtConverte->setAcceptDrops(false);
  cboTipo->lineEdit()->setAcceptDrops(false);

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
  connect(txtConverte, &QLineEdit::textEdited, this, &frmConv::txtConverte_Change);
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
    // Sent to a window and passed on to its children: the window is
    // activated also where it sits in a scrolled view on a small screen.
    case QEvent::WindowActivate: Form_Activate(); break;
    default: break;
  }
  return QWidget::event(event);
}

// Refused at once when the model would not take it: the pointer tells the
// user so, and the source learns that nothing happened.
void frmConv::dragEnterEvent(QDragEnterEvent* event) {
  const std::optional<Qt::DropAction> action = HarmlessAction(event->possibleActions());
  if (!action || !screen::ScreenModel::TakesDrop(DroppedItems(*event->mimeData()))) return;
  event->setDropAction(*action);
  event->accept();
}

// Shows the file dropped, ready for Ok, or the folder; a drop the model
// does not take is refused, and the source keeps whatever it dragged.
void frmConv::dropEvent(QDropEvent* event) {
  const std::optional<Qt::DropAction> action = HarmlessAction(event->possibleActions());
  if (!action || !model_.Drop(DroppedItems(*event->mimeData()))) {
    event->ignore();
    return;
  }
  event->setDropAction(*action);
  event->accept();
  showFolder();
  txtConverte->showText(Utf8(model_.pathText()));
}

void frmConv::Form_Load() {
  model_.Load();
  for (const std::string& pattern : model_.patterns()) cboTipo->addItem(Utf8(pattern));
  cboTipo->setText(Utf8(model_.pattern()));
  Label4->setPath(Utf8(model_.folderText()));
  LineBreak = QStringLiteral("\r\n");
}

// On the first display, and again whenever the user comes back to the
// window, the about box included: the lists show what the folder holds
// now, files another program wrote meanwhile too.
void frmConv::Form_Activate() {
  model_.Activate();
  setWindowTitle(Utf8(model_.title()));
  showFolder();
}

// The window has been closed and is going away; nothing outlives it.
void frmConv::Form_Terminate() { QCoreApplication::quit(); }

// The drive list has told the model; the other lists follow.
void frmConv::driveDTA_Change() { showFolder(); }

void frmConv::dirDTA_Change() { showFolder(); }

void frmConv::showFolder() {
  dirDTA->showModel();
  fileDTA->showModel();
  driveDTA->showModel();
  Label4->setPath(Utf8(model_.folderText()));
}

void frmConv::cboTipo_Change() { fileDTA->setPattern(cboTipo->currentText()); }

void frmConv::cboTipo_LostFocus() { fileDTA->setPattern(cboTipo->currentText()); }

// The path box follows the highlighted file.
void frmConv::fileDTA_Click() { txtConverte->showText(Utf8(model_.pathText())); }

void frmConv::fileDTA_DblClick() { cmdOK_Click(); }

// A path typed over the highlighted file's takes the highlight away.
void frmConv::txtConverte_Change() {
  model_.EditPath(txtConverte->text().toStdString());
  fileDTA->showModel();
}

// Converts the file the path box names. The file list shows the CSV the
// run wrote, if the pattern takes it, once the pointer is off the list.
void frmConv::cmdOK_Click() {
  model_.Convert();
  showLog();
  fileDTA->showModel();
}

// The box breaks lines at a line feed; the carriage returns of LineBreak
// would reach screen readers as stray characters.
void frmConv::Label6_Click() {
  QString text = Utf8(screen::ScreenModel::AboutText(LineBreak.toStdString()));
  text.remove(u'\r');
  QMessageBox about(QMessageBox::NoIcon, Utf8(screen::ScreenModel::kAboutCaption), text,
                    QMessageBox::Ok, this);
  about.exec();
}

bool frmConv::convert(const FsPath& inputPath) {
  const bool converted = model_.ConvertPath(inputPath);
  showLog();
  return converted;
}

void frmConv::showLog() {
  lstResultado->showRun(model_.logLineToShow());
  verdictNotice_->announce(Utf8(model_.verdict()));
}
