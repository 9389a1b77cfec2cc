#include "forms/form1.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>

#include "forms/form2.h"
#include "forms/form3.h"
#include "forms/form4.h"
#include "forms/form5.h"
#include "forms/help_viewer.h"
#include "forms/key_codes.h"
#include "forms/match_report_window.h"
#include "forms/name_validator.h"
#include "forms/review_window.h"
#include "forms/window_util.h"
#include "platform/fonts.h"
#include "platform/qt_conversions.h"
#include "platform/twips.h"
#include "platform/window_surface.h"

// Resources compiled into a static library must be registered by hand.
static void InitPictures() { Q_INIT_RESOURCE(pictures); }

namespace varrow::forms {

using platform::FromUtf8;
using platform::ToQColor;
using platform::TwipsRect;

// The drawing area: shows the window surface and takes the presses on the
// field. Presses on a control belong to the control.
class FieldView : public QWidget {
 public:
  explicit FieldView(Form1& form) : QWidget(&form), form_(form) {
    setObjectName("DrawingArea");
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    form_.surface().Render(painter, event->rect());
  }
  void mousePressEvent(QMouseEvent* event) override {
    // A label or a picture lets presses through to its parent; they are
    // still not presses on the field.
    if (childAt(event->position().toPoint()) != nullptr) return;
    form_.FieldMouseDown(event);
  }

 private:
  Form1& form_;
};

namespace {

// The drawing area in twips.
constexpr int kAreaWidth = 9570;
constexpr int kAreaHeight = 6510;

struct ControlLayout {
  MainControl control;
  const char* name;
  int left, top, width, height;
};

// A label's room to grow: from `min_left` to `max_right` (twips), centred or
// keeping its left edge.
struct LabelRoom {
  int designed_left, designed_width, min_left, max_right;
  bool centred;
};

LabelRoom RoomOf(MainControl c) {
  switch (c) {
    case MainControl::kLabel5:  // between the two arrows
      return {4200, 1215, 4080, 5520, true};
    case MainControl::kLabel3:  // between Text2 and Image1
      return {3240, 255, 3150, 3585, false};
    default:  // kLabel4: between Image2 and Text1
      return {6120, 255, 6015, 6465, false};
  }
}

}  // namespace

Form1::Form1(ProgramState& state, SettingsStore& settings, Environment& environment,
             QWidget* parent)
    : QMainWindow(parent), state_(state), settings_(settings), environment_(environment) {
  InitPictures();
  setObjectName("Form1Window");
  setWindowTitle("Varrow 2000");
  setWindowIcon(QIcon(":/pictures/icon.xpm"));
  // A fixed layout: it can be minimised but not resized or maximised.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);

  view_ = new FieldView(*this);
  const double dpi = view_->logicalDpiX();
  view_->setFixedSize(platform::TwipsToPx(kAreaWidth, dpi), platform::TwipsToPx(kAreaHeight, dpi));
  setCentralWidget(view_);
  BuildMenus();
  BuildControls();
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  surface_ = std::make_unique<platform::WindowSurface>(*view_, palette().color(QPalette::Window));
  surface_->SetFont(platform::SansFont(8.25));
  recorder_ = std::make_unique<Recorder>(state_, *this, *surface_, settings_, environment_);

  timer1_ = new QTimer(this);
  timer1_->setObjectName("Timer1");
  timer1_->setInterval(1000);
  timer1_->setTimerType(Qt::PreciseTimer);
  connect(timer1_, &QTimer::timeout, this, [this] { recorder_->Timer1_Timer(); });

  qApp->installEventFilter(this);
}

Form1::~Form1() {
  qApp->removeEventFilter(this);
  // The recorder's flushing threads may still knock (PostFlushCheck) until
  // its data file is closed: end them while this window is whole.
  recorder_.reset();
}

QWidget* Form1::fieldView() const { return view_; }

void Form1::BuildMenus() {
  auto add = [this](QMenu* menu, const char* name, const QString& caption, auto handler) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, handler] { ((*recorder_).*handler)(); });
    return action;
  };
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("mnuFile");
  add(file, "mnuNew", "&New", &Recorder::mnuNew_Click);
  add(file, "mnuOpen", "&Open", &Recorder::mnuOpen_Click);
  file->addSeparator()->setObjectName("mnuSep1");
  add(file, "mnuExit", "&Exit", &Recorder::mnuExit_Click);
  QMenu* reports = menuBar()->addMenu("&Reports");
  reports->setObjectName("mnuReports");
  add(reports, "mnuGenStats", "&Generate Stats", &Recorder::mnuGenStats_Click);
  add(reports, "mnuReviewEvents", "Review &Events", &Recorder::mnuReviewEvents_Click);
  add(reports, "mnuMatchReport", "&Match Report...", &Recorder::mnuMatchReport_Click);
  QMenu* help = menuBar()->addMenu("&Help");
  help->setObjectName("mnuHelp");
  add(help, "mnuHelpTopics", "Help &Topics", &Recorder::mnuHelpTopics_Click);
  add(help, "mnuAbout", "&About", &Recorder::mnuAbout_Click);
}

void Form1::BuildControls() {
  const double dpi = view_->logicalDpiX();
  const QFont small = platform::SansFont(8.25);
  const QFont large = platform::SansFont(17.25);
  const QPixmap ball(":/pictures/ball.xpm");

  auto place = [&](QWidget* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(name);
    w->setGeometry(TwipsRect(left, top, width, height, dpi));
  };
  auto label = [&](const char* name, int left, int top, int width, int height, const QString& text,
                   const QFont& font) {
    auto* l = new QLabel(text, view_);
    place(l, name, left, top, width, height);
    l->setFont(font);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
  };
  auto picture = [&](const char* name, int left, int top, int width, int height,
                     const QPixmap& pixmap) {
    auto* l = new QLabel(view_);
    place(l, name, left, top, width, height);
    l->setPixmap(pixmap);
    l->setScaledContents(true);  // the bitmap fills the control at any DPI
    return l;
  };
  auto name_box = [&](const char* name, int left, Color color) {
    auto* t = new QLineEdit(view_);
    place(t, name, left, 360, 2055, 285);
    t->setValidator(new NameValidator(t));
    t->setFont(small);
    QPalette p = t->palette();
    p.setColor(QPalette::Text, ToQColor(color));
    t->setPalette(p);
    return t;
  };
  auto button = [&](const char* name, int left, const QString& caption,
                    void (Recorder::*handler)()) {
    auto* b = new QPushButton(caption, view_);
    place(b, name, left, 5520, 1575, 495);
    b->setFont(small);
    // Enter presses the focused button; the space bar belongs to the window.
    b->setAutoDefault(true);
    connect(b, &QPushButton::clicked, this, [this, handler] { ((*recorder_).*handler)(); });
    return b;
  };

  QLabel* image3 = picture("Image3", 360, 240, 420, 390, ball);
  image3->hide();
  label("Label1", 1080, 120, 1215, 255, "Team Name", small);
  QLineEdit* text2 = name_box("Text2", 1080, kRed);
  QLabel* label3 = label("Label3", 3240, 240, 255, 375, "0", large);
  picture("Image1", 3600, 240, 480, 480, QPixmap(":/pictures/arrow_right.xpm"));
  QLabel* label5 = label("Label5", 4200, 240, 1215, 495, "0:00", large);
  label5->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  // The left arrow is the right one mirrored.
  picture("Image2", 5520, 240, 480, 480,
          QPixmap::fromImage(QImage(":/pictures/arrow_right.xpm").mirrored(true, false)));
  QLabel* label4 = label("Label4", 6120, 240, 255, 375, "0", large);
  label("Label2", 6480, 120, 1215, 255, "Team Name", small);
  QLineEdit* text1 = name_box("Text1", 6480, kBlue);
  QLabel* image4 = picture("Image4", 8760, 240, 420, 390, ball);
  image4->hide();

  QPushButton* command2 = button("Command2", 120, "START CLOCK", &Recorder::Command2_Click);
  QPushButton* command1 = button("Command1", 2040, "UNDO", &Recorder::Command1_Click);
  QPushButton* command5 = button("Command5", 3960, "SHOT", &Recorder::Command5_Click);
  QPushButton* command6 = button("Command6", 5880, "FOUL", &Recorder::Command6_Click);
  QPushButton* command7 = button("Command7", 7800, "CLEAR SCREEN", &Recorder::Command7_Click);

  QLabel* label6 = label("Label6", 120, 6120, 7455, 375, " File:", small);
  QLabel* label7 = label("Label7", 7680, 6120, 1695, 375, "", small);
  for (QLabel* status : {label6, label7}) {
    status->setFrameStyle(QFrame::Box | QFrame::Plain);
    status->setLineWidth(1);
    status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  }

  QWidget* const order[] = {text2, text1, command2, command1, command5, command6, command7};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  text2->setFocus();

  controls_ = {{MainControl::kCommand2, command2}, {MainControl::kLabel3, label3},
               {MainControl::kLabel4, label4},     {MainControl::kLabel5, label5},
               {MainControl::kLabel6, label6},     {MainControl::kLabel7, label7},
               {MainControl::kText1, text1},       {MainControl::kText2, text2},
               {MainControl::kImage3, image3},     {MainControl::kImage4, image4}};
  fore_colors_ = {{MainControl::kText1, kBlue}, {MainControl::kText2, kRed}};
}

void Form1::Load() {
  CentreOnScreen(*this);
  recorder_->Form_Load();
}

void Form1::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  recorder_->Form_Unload();
  timer1_->stop();
}

void Form1::CloseOnRequest() {
  if (unloaded_) return;
  if (QWidget* popup = QApplication::activePopupWidget()) {
    popup->close();
  } else if (QWidget* modal = QApplication::activeModalWidget()) {
    // A modal window runs inside the handler that opened it: close it, and
    // close the main window once that handler has returned.
    if (modal == review_) {
      // Which asks nothing: corrections not saved are kept beside the file.
      review_->CloseWithoutAsking();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    } else {
      modal->close();
    }
  } else if (close()) {
    return;
  }
  // Also while the statistics pass holds the window open.
  QTimer::singleShot(50, this, &Form1::CloseOnRequest);
}

void Form1::closeEvent(QCloseEvent* event) {
  if (pass_running_) {
    event->ignore();
    return;
  }
  Unload();
  event->accept();
}

bool Form1::IsRepeatOfAHeldKey(const QKeyEvent& key) {
  if (key.key() != Qt::Key_Space && key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) {
    return false;
  }
  // Qt marks a repeat only when the repeat's release and press reach it
  // together; on X11 they often come apart, as a release and a press with
  // the same time stamp.
  if (key.type() == QEvent::KeyRelease) {
    last_release_ = {key.key(), key.timestamp()};
    return false;
  }
  return key.isAutoRepeat() ||
         (key.timestamp() != 0 && last_release_ == std::pair{key.key(), key.timestamp()});
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
  if (unloaded_) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  // A held key repeats about 25 times a second. A held space bar would hand
  // the ball over at random and a held Enter press the focused button (START
  // CLOCK, PRINT, OK) again and again: in every window only a fresh press counts.
  if (IsRepeatOfAHeldKey(*key)) return true;
  if (event->type() != QEvent::KeyPress) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != this) return false;
  // Only the first delivery, to the focused control: a key that control
  // ignores travels on to its parents and must not be handled twice.
  QWidget* first = focusWidget() != nullptr ? focusWidget() : this;
  if (widget != first) return false;
  int key_code = KeyCodeOf(key->key());
  if (key_code == 0) return false;
  recorder_->Form_KeyDown(key_code, ShiftStateOf(key->modifiers()));
  return key_code == 0;  // the handler consumed the key
}

void Form1::FieldMouseDown(QMouseEvent* event) {
  const QPointF at = event->position();
  const double dpi_x = view_->logicalDpiX();
  const double dpi_y = view_->logicalDpiY();
  recorder_->Form_MouseDown(MouseButtonOf(event->button()), ShiftStateOf(event->modifiers()),
                            static_cast<float>(platform::PxToTwips(at.x(), dpi_x)),
                            static_cast<float>(platform::PxToTwips(at.y(), dpi_y)));
}

QWidget* Form1::Control(MainControl c) const {
  const auto it = controls_.find(c);
  return it == controls_.end() ? nullptr : it->second;
}

std::string Form1::Caption(MainControl c) const {
  QWidget* w = Control(c);
  if (auto* l = qobject_cast<QLabel*>(w)) return l->text().toStdString();
  if (auto* t = qobject_cast<QLineEdit*>(w)) return t->text().toStdString();
  if (auto* b = qobject_cast<QPushButton*>(w)) return b->text().toStdString();
  return {};
}

void Form1::SetCaption(MainControl c, std::string_view text) {
  QWidget* w = Control(c);
  if (auto* t = qobject_cast<QLineEdit*>(w)) {
    t->setText(FromUtf8(text));
    t->setCursorPosition(0);
  } else if (auto* b = qobject_cast<QPushButton*>(w)) {
    b->setText(FromUtf8(text));
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    l->setText(FromUtf8(text));
    if (c == MainControl::kLabel6) l->setToolTip(l->text().trimmed());
    if (c == MainControl::kLabel3 || c == MainControl::kLabel4 || c == MainControl::kLabel5) {
      FitLabel(c);
    }
  }
}

void Form1::FitLabel(MainControl c) {
  auto* l = qobject_cast<QLabel*>(Control(c));
  const double dpi = view_->logicalDpiX();
  const LabelRoom room = RoomOf(c);
  const int designed_left = platform::TwipsToPx(room.designed_left, dpi);
  const int designed_width =
      platform::TwipsToPx(room.designed_left + room.designed_width, dpi) - designed_left;
  const int min_left = platform::TwipsToPx(room.min_left, dpi);
  const int max_right = platform::TwipsToPx(room.max_right, dpi);
  const int needed = l->fontMetrics().horizontalAdvance(l->text()) + 2;
  int width = designed_width;
  int left = designed_left;
  if (needed > designed_width) {
    width = std::min(needed, max_right - min_left);
    left = room.centred ? designed_left + (designed_width - width) / 2 : designed_left;
    left = std::clamp(left, min_left, max_right - width);
  }
  l->setGeometry(left, l->y(), width, l->height());
}

Color Form1::ForeColor(MainControl c) const {
  const auto it = fore_colors_.find(c);
  return it == fore_colors_.end() ? kBlack : it->second;
}

void Form1::SetForeColor(MainControl c, Color color) {
  QWidget* w = Control(c);
  if (w == nullptr) return;
  fore_colors_[c] = color;
  QPalette p = w->palette();
  const QColor q = ToQColor(color);
  p.setColor(QPalette::Text, q);
  p.setColor(QPalette::WindowText, q);
  w->setPalette(p);
}

bool Form1::Visible(MainControl c) const {
  // The control's own state: the window itself may not be shown yet.
  QWidget* w = Control(c);
  return w != nullptr && !w->isHidden();
}

void Form1::SetVisible(MainControl c, bool visible) {
  if (QWidget* w = Control(c)) w->setVisible(visible);
}

void Form1::SetLocked(MainControl c, bool locked) {
  if (auto* t = qobject_cast<QLineEdit*>(Control(c))) t->setReadOnly(locked);
}

bool Form1::TimerEnabled() const { return timer1_->isActive(); }

void Form1::SetTimerEnabled(bool enabled) {
  // Enabling a running timer must not restart its second.
  if (enabled && !timer1_->isActive()) timer1_->start();
  if (!enabled) timer1_->stop();
}

void Form1::MsgBox(std::string_view text, MsgIcon icon, std::string_view title) {
  ShowMessage(this, text, icon, title);
}

std::size_t Form1::Ask(std::string_view text, std::string_view title,
                       const std::vector<std::string>& buttons) {
  return AskQuestion(this, text, title, buttons);
}

void Form1::SetBusyPointer(bool busy) {
  busy_ = busy;
  for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(form3_.data())}) {
    if (w == nullptr) continue;
    if (busy) {
      w->setCursor(Qt::WaitCursor);
    } else {
      w->unsetCursor();
    }
  }
}

void Form1::ShowPeriodWindow() {
  Form5 form5(state_, *this, this);
  form5.exec();
}

std::optional<std::string> Form1::ShowOpenDialog(std::string_view filter) {
  const QString path =
      QFileDialog::getOpenFileName(this, "Open", QDir::currentPath(), QtFileFilter(filter));
  if (path.isEmpty()) return std::nullopt;
  return QFile::encodeName(path).toStdString();
}

std::vector<std::string> Form1::ShowOpenFilesDialog(std::string_view filter,
                                                    const std::string& folder,
                                                    const std::string& selected) {
  // A path to a file opens the dialog in the file's folder with the file
  // chosen: so only a file in `folder` is chosen, and without a folder the
  // dialog goes to the file's.
  QString start = QFile::decodeName(folder.c_str());
  if (!selected.empty()) {
    const QFileInfo file(QFile::decodeName(selected.c_str()));
    if (start.isEmpty() || QDir(file.absolutePath()) == QDir(start))
      start = file.absoluteFilePath();
  }
  const QStringList paths = QFileDialog::getOpenFileNames(
      this, "Match Report", start.isEmpty() ? QDir::currentPath() : start, QtFileFilter(filter));
  std::vector<std::string> chosen;
  for (const QString& path : paths) chosen.push_back(QFile::encodeName(path).toStdString());
  return chosen;
}

void Form1::ShowProgressWindow() {
  if (form3_ == nullptr) form3_ = new Form3(this);
  if (busy_) form3_->setCursor(Qt::WaitCursor);
  pass_running_ = true;
  form3_->show();
  // The pass runs to its end without returning to the event loop; get the
  // window on the screen first. Input waits until the pass is over.
  WaitUntilExposed(*form3_);
}

void Form1::SetProgressMax(int maximum) {
  if (form3_ != nullptr) form3_->SetMax(maximum);
}

void Form1::SetProgressValue(int value) {
  if (form3_ != nullptr) form3_->SetValue(value);
}

void Form1::CloseProgressWindow() {
  pass_running_ = false;
  delete form3_.data();
}

void Form1::ShowReportsWindow() {
  Form2 form2(state_, Caption(MainControl::kLabel7), this);
  form2_ = &form2;
  form2.exec();
}

void Form1::ShowReviewWindow(ReviewSession& session) {
  ReviewWindow window(session, settings_, this);
  review_ = &window;
  window.exec();
}

void Form1::ShowMatchReportWindow(const std::vector<std::string>& paths) {
  MatchReportWindow window(report::MatchReport(paths), settings_, this);
  match_report_ = &window;
  window.exec();
}

void Form1::ShowAboutWindow() {
  Form4 form4(this);
  form4_ = &form4;
  form4.exec();
}

void Form1::ShowHelp(const std::string& help_file) {
  if (help_ == nullptr) help_ = new HelpViewer(this);
  help_->ShowFile(QFile::decodeName(help_file.c_str()));
}

void Form1::PostFlushCheck() {
  // Called on a flushing thread: a queued call is the one way across.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (!unloaded_) recorder_->CheckFlush();
      },
      Qt::QueuedConnection);
}

void Form1::CloseMainWindow() { close(); }

void Form1::CloseOtherWindows() {
  if (form2_ != nullptr) form2_->reject();
  if (form4_ != nullptr) form4_->reject();
  // Unsaved corrections are dropped as the program ends.
  if (review_ != nullptr) review_->done(QDialog::Rejected);
  if (match_report_ != nullptr) match_report_->reject();
  if (form3_ != nullptr) {
    pass_running_ = false;
    delete form3_.data();
  }
  if (help_ != nullptr) help_->close();
}

}  // namespace varrow::forms
