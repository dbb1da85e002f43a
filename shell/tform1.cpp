#include "shell/tform1.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <array>
#include <ostream>

#include "core/gif_picture_writer.h"
#include "core/picture_folder.h"
#include "core/plovex_error.h"
#include "history/usage_line.h"
#include "settings/panel/panel_rules.h"
#include "shell/desktop_notifier.h"
#include "shell/desktop_tray_presence.h"
#include "shell/screen_place.h"

namespace plovex {
namespace {

// A single fixed frame with a system menu and a minimise button, no maximise.
constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint |
                                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
constexpr QSize kDesignClientSize = TForm1::kBorderedClientSize;

QAction* MenuEntry(QMenu* menu, const char* name, const char* caption, TForm1* form,
                   void (TForm1::*handler)(), bool checkable = false) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  action->setCheckable(checkable);
  QObject::connect(action, &QAction::triggered, form, handler);
  return action;
}

// Where the window is on the screens, or else on the primary screen.
QPoint OnAScreen(QPoint corner, QSize size) {
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens << screen->geometry();
  const QScreen* primary = QGuiApplication::primaryScreen();
  return PlaceOnScreen(corner, size, screens, primary ? primary->availableGeometry() : QRect());
}

}  // namespace

const char* const TForm1::kNoStayOnTopReason =
    "Not available under Wayland: the desktop alone decides which window stays on top";

TForm1::TForm1(const TForm1Seams& seams)
    : QWidget(nullptr, kWindowFlags),
      seams_(seams),
      picture_(kPictureWidth, kPictureHeight, kWhite),
      font_(Font::Find("Arial")),
      run_(settings_, picture_, *this),
      errors_(this) {
  if (seams_.platform == nullptr) desktop_platform_ = NewDesktopWindowPlatform();
  platform_ = seams_.platform != nullptr ? seams_.platform : desktop_platform_.get();
  setObjectName("Form1");
  setWindowTitle("Plovex");
  setWindowIcon(QApplication::windowIcon());
  setFixedSize(kDesignClientSize);
  move(kDefaultWindowLeft, kDefaultWindowTop);

  PageControl1 = new QStackedWidget(this);
  PageControl1->setObjectName("PageControl1");
  PageControl1->setGeometry(0, 0, kDesignClientSize.width(), kDesignClientSize.height());
  auto* graph_page = new QWidget(PageControl1);
  graph_page->setObjectName("pageGraph");
  graph_page->setWindowTitle("Graph");
  Panel1 = new QFrame(graph_page);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setLineWidth(1);
  Panel1->setGeometry(4, 4, 404, 164);
  Image1 = new TImage(picture_, Panel1);
  Image1->move(2, 2);
  StatusStrip1 = new TStatusStrip(Image1);
  PageControl1->addWidget(graph_page);

  SettingsControls& controls = *this;
  store_ = std::make_unique<SettingsStore>(*seams_.hive, settings_, controls);

  // Start and Stop lie below the visible client area, as on the Windows
  // version's window: only program actions press them. Unseen, they must not
  // take the keyboard focus either, or Tab and Space would stop monitoring
  // without a trace.
  Button2 = new QPushButton("Start", this);
  Button2->setObjectName("Button2");
  Button2->setGeometry(8, 208, 75, 25);
  Button2->setFocusPolicy(Qt::NoFocus);
  Button3 = new QPushButton("Stop", this);
  Button3->setObjectName("Button3");
  Button3->setGeometry(8, 232, 75, 25);
  Button3->setFocusPolicy(Qt::NoFocus);
  Button3->setEnabled(false);

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");

  BuildMenu();

  TrayPresence* presence = seams_.tray;
  if (presence == nullptr) presence = new DesktopTrayPresence(this);
  TrayIcon1 = new TTrayIcon(this, QApplication::windowIcon(), *presence, this);
  BuildTrayMenu();
  Image1->installEventFilter(this);
  corner_keeper_ = new CornerKeeper(*this, [this] { return !closing_ && !settings_.Dragging; });

  connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  connect(Image1, &TImage::MouseDown, this, &TForm1::Image1MouseDown);
  connect(Image1, &TImage::MouseMove, this, &TForm1::Image1MouseMove);
  connect(Image1, &TImage::MouseUp, this, &TForm1::Image1MouseUp);
  connect(Image1, &TImage::DblClick, this, &TForm1::Image1DblClick);
  connect(Image1, &TImage::ContextMenu, this, &TForm1::PopupMenu1Popup);
  connect(TrayIcon1, &TTrayIcon::DblClick, this, &TForm1::TrayIcon1DblClick);
  connect(StatusStrip1, &TStatusStrip::Clicked, this, &TForm1::StatusStrip1Click);
}

TForm1::~TForm1() = default;

void TForm1::BuildMenu() {
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName("PopupMenu1");
  QMenu* m = PopupMenu1;
  Configuration1 =
      MenuEntry(m, "Configuration1", "Configuration", this, &TForm1::Configuration1Click);
  History1 = MenuEntry(m, "History1", "History\u2026", this, &TForm1::History1Click);
  InstantSnapShot1 =
      MenuEntry(m, "InstantSnapShot1", "Instant SnapShot", this, &TForm1::InstantSnapShot1Click);
  m->addSeparator();
  Clear1 = MenuEntry(m, "Clear1", "Clear", this, &TForm1::Clear1Click);
  m->addSeparator();
  Stayontop1 = MenuEntry(m, "Stayontop1", "Stay on top", this, &TForm1::Stayontop1Click, true);
  Lockwindowdrag1 = MenuEntry(m, "Lockwindowdrag1", "Lock window drag", this,
                              &TForm1::Lockwindowdrag1Click, true);
  Minimize1 = MenuEntry(m, "Minimize1", "Minimize", this, &TForm1::Minimize1Click);
  m->addSeparator();
  Close1 = MenuEntry(m, "Close1", "Close", this, &TForm1::Close1Click);
  if (!platform_->KeepsAbove()) {
    Stayontop1->setEnabled(false);
    Stayontop1->setToolTip(kNoStayOnTopReason);
    m->setToolTipsVisible(true);
  }
}

void TForm1::BuildTrayMenu() {
  // The popup menu's own commands, for a window that is hidden in the tray
  // or on a desktop whose tray sends no double-click.
  TrayMenu1 = new QMenu(this);
  TrayMenu1->setObjectName("TrayMenu1");
  ShowHide1 = TrayMenu1->addAction(QString());
  ShowHide1->setObjectName("ShowHide1");
  connect(ShowHide1, &QAction::triggered, this, &TForm1::ShowHide1Click);
  TrayMenu1->addSeparator();
  TrayMenu1->addActions({Configuration1, History1, InstantSnapShot1});
  TrayMenu1->addSeparator();
  TrayMenu1->addAction(Clear1);
  TrayMenu1->addSeparator();
  TrayMenu1->addActions({Stayontop1, Lockwindowdrag1});
  TrayMenu1->addSeparator();
  TrayMenu1->addAction(Close1);
  TrayMenu1->setToolTipsVisible(PopupMenu1->toolTipsVisible());
  UpdateShowHide();
  TrayIcon1->setContextMenu(TrayMenu1);
}

void TForm1::UpdateShowHide() {
  if (ShowHide1 == nullptr || TrayIcon1 == nullptr) return;
  const QString caption = TrayIcon1->MainWindowShown() ? "Hide Plovex" : "Show Plovex";
  if (ShowHide1->text() != caption) ShowHide1->setText(caption);
}

void TForm1::ShowHide1Click() {
  if (TrayIcon1) TrayIcon1->ToggleMainWindow();
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  UpdateShowHide();
}

void TForm1::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  UpdateShowHide();
}

void TForm1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) UpdateShowHide();
}

void TForm1::FormCreate() {
  settings_ = TPlovexSettings{};
  settings_.Restart = true;
  // A failed load (a damaged value, a hive that cannot be read) is shown once
  // and has still filled the controls, the fields it could not read at their
  // defaults; start-up goes on, so the window works and the user can apply
  // corrected values. Until then the stored settings are not written over.
  ReportErrors([this] { store_->LoadSettings(); });
  if (closing_) return;  // ended by a signal while the load's message showed
  PageControl1->setCurrentIndex(0);
  if (panel_ != nullptr) panel_->ShowPage(0);
  settings_.TrayBitmap = NewTrayBitmap();
  SetTrayIcon(settings_.TrayBitmap);

  client_ = std::make_unique<TSNMPSend>();
  PollSource* poll = seams_.poll;
  if (poll == nullptr) {
    agent_poll_ = std::make_unique<AgentPollSource>(*client_);
    agent_poll_->OnInterfaceMoved([this](const std::string& notice) { InterfaceMoved(notice); });
    poll = agent_poll_.get();
  }
  PictureWriter* writer = seams_.writer;
  if (writer == nullptr) {
    gif_writer_ = std::make_unique<GifPictureWriter>(settings_, DesktopPictureFolder());
    writer = gif_writer_.get();
  }
  const Clock& clock = seams_.clock != nullptr ? *seams_.clock : system_clock_;
  tick_ =
      std::make_unique<TickCycle>(settings_, picture_, *this, clock, *poll, *writer, font_.get());
  run_.SetTick(tick_.get());
  // A window on a test's hand-set clock keeps no history: its minutes are not time.
  if (seams_.clock == nullptr || !seams_.usage_path.empty()) {
    usage_ = std::make_unique<UsageRecorder>(UsagePath(), [this](const Status& status) {
      if (status.ok()) {
        ClearFault(TickFault::kUsageStore);
      } else {
        ReportFault(TickFault::kUsageStore, status);
      }
    });
    tick_->SetUsageRecorder(usage_.get());
  }
  notifier_ = seams_.notifier;
  if (notifier_ == nullptr) {
    // A click on a notice is a wish to see the window, hidden or not.
    notifier_ = new DesktopNotifier(
        [this] {
          if (TrayIcon1) TrayIcon1->ShowMainWindow();
        },
        this);
  }
  tick_->SetNotifier(notifier_);

  // The stored frame comes with the size it had in the Windows version.
  setFixedSize(HasBorder() ? kDesignClientSize : kBorderlessSize);
  ReportErrors([this] { Start(); });
}

void TForm1::ShowAtStart() {
  if (settings_.StayOnTop) SetStayOnTop(true);
  if (isMinimized()) {
    if (TrayIcon1 && TrayIcon1->TrayAvailable()) return;  // only the icon shows
    showMinimized();
    return;
  }
  show();
}

// --- Start, Stop, the timer -------------------------------------------------

void TForm1::Button2Click() {
  ReportErrors([this] { Start(); });
}

void TForm1::Button3Click() { Stop(); }

void TForm1::Start() { run_.Start(); }

void TForm1::RunStartTick(const std::function<void()>& tick) { RunTick(tick); }

void TForm1::Stop() { run_.Stop(); }

void TForm1::SetRunning(bool running) {
  timer_enabled_ = running;
  UpdateTimer();
  Button3->setEnabled(running);
  Button2->setEnabled(!running);
}

void TForm1::Timer1Timer() {
  RunTick([this] {
    if (tick_) tick_->Tick();
  });
}

void TForm1::RunTick(const std::function<void()>& tick) {
  // While a fault lasts, the tray says what it is: its box is shown once.
  errors_.RunTick(tick, [this](const std::string& message) {
    ShowTrayHint(tick_hint_ + " (" + message + ")");
  });
  Image1->update();
}

void TForm1::SetTimerPeriod(std::int64_t milliseconds) {
  timer_period_ = milliseconds;
  UpdateTimer();
}

void TForm1::UpdateTimer() {
  // A period of 0 keeps the timer silent while monitoring stays switched on,
  // as the Windows timer does with interval 0.
  if (timer_enabled_ && timer_period_ > 0) {
    Timer1->start(static_cast<int>(timer_period_));
  } else {
    Timer1->stop();
    if (timer_period_ > 0) Timer1->setInterval(static_cast<int>(timer_period_));
  }
}

// --- The picture ------------------------------------------------------------

void TForm1::ClearPictures() { run_.ClearPictures(); }

void TForm1::PicturesCleared() { Image1->update(); }

void TForm1::ClearGraph() { run_.Clear(); }

void TForm1::RestartGraph(const std::function<void()>& apply) { run_.Restart(apply); }

void TForm1::Clear1Click() {
  ReportErrors([this] { ClearGraph(); });
}

void TForm1::InstantSnapShot1Click() { settings_.SnapshotPending = true; }

void TForm1::Configuration1Click() {
  // From the tray the window may be hidden: the page is no use unseen.
  if (TrayIcon1 && !TrayIcon1->MainWindowShown()) TrayIcon1->ShowMainWindow();
  PageControl1->setCurrentWidget(ConfigPanel());
  // The keys go to the tree, as they went to the picture.
  if (auto* tree = panel_->findChild<QWidget*>("TreeView1")) tree->setFocus(Qt::OtherFocusReason);
}

void TForm1::History1Click() {
  if (!history_) {
    history_ = new THistoryWindow(settings_, UsagePath(), font_.get(), this);
  }
  history_->Refresh();
  // Beside the main window, also when that one waits in the tray.
  history_->show();
  history_->raise();
  history_->activateWindow();
}

std::string TForm1::UsagePath() const {
  return seams_.usage_path.empty() ? DefaultUsageStorePath() : seams_.usage_path;
}

void TForm1::ShowGraphPage() {
  PageControl1->setCurrentIndex(0);
  Image1->setFocus(Qt::OtherFocusReason);
}

void TForm1::PopupMenu1Popup(QPoint global) { PopupMenu1->popup(global); }

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  // The focus is shown once the keys are in use, as the style shows it on
  // buttons: a window merely activated or clicked keeps its plain bevel.
  if (watched == Image1) {
    switch (event->type()) {
      case QEvent::KeyPress:
        ShowPictureFocus(true);
        break;
      case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
          ShowPictureFocus(true);
        }
        break;
      }
      case QEvent::FocusOut:
        ShowPictureFocus(false);
        break;
      default:
        break;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TForm1::ShowPictureFocus(bool shown) {
  if (picture_focus_shown_ == shown) return;
  picture_focus_shown_ = shown;
  // The bevel around the picture takes the highlight colour; the picture
  // itself is never drawn over.
  QPalette palette = Panel1->parentWidget()->palette();
  if (shown) {
    palette.setColor(QPalette::Light, palette.color(QPalette::Highlight));
    palette.setColor(QPalette::Dark, palette.color(QPalette::Highlight));
  }
  Panel1->setPalette(palette);
}

// --- Stacking, drag lock, minimise ------------------------------------------

void TForm1::Stayontop1Click() {
  // The entry has already inverted its own check mark.
  settings_.StayOnTop = Stayontop1->isChecked();
  SetStayOnTop(settings_.StayOnTop);
}

void TForm1::SetStayOnTop(bool on_top) {
  if (!platform_->KeepsAbove()) return;  // the check mark alone keeps the choice
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on_top) return;
  SetWindowFlagsKeepingVisibility(windowFlags() ^ Qt::WindowStaysOnTopHint);
}

void TForm1::Lockwindowdrag1Click() {
  settings_.LockDrag = !settings_.LockDrag;
  Lockwindowdrag1->setChecked(settings_.LockDrag);
}

void TForm1::Minimize1Click() { setWindowState(windowState() | Qt::WindowMinimized); }

void TForm1::TrayIcon1DblClick() {
  if (TrayIcon1) TrayIcon1->ShowMainWindow();
}

// --- Dragging and the border toggle -----------------------------------------

void TForm1::Image1MouseDown(Qt::MouseButton button, QPoint at, QPoint global) {
  if (button != Qt::LeftButton || settings_.LockDrag) return;
  settings_.Dragging = true;
  settings_.DragX = at.x();
  settings_.DragY = at.y();
  drag_anchor_ = global - pos();
  press_at_ = global;
  system_move_asked_ = false;
}

void TForm1::Image1MouseMove(QPoint, QPoint global) {
  if (!settings_.Dragging || settings_.LockDrag) return;
  if (!system_move_asked_) {
    // A press that has not travelled is still a click or a double-click.
    if ((global - press_at_).manhattanLength() < QApplication::startDragDistance()) return;
    system_move_asked_ = true;
    // The window manager or compositor moves the window where it can (on
    // Wayland nothing else can) and keeps the pointer until the release.
    if (windowHandle() != nullptr && platform_->StartSystemMove(*windowHandle())) {
      settings_.Dragging = false;
      return;
    }
  }
  // The same as left + x - DragX, top + y - DragY, but taken from the screen
  // position, which stays right while the window manager is still moving the
  // window for the previous event.
  move(global - drag_anchor_);
}

void TForm1::Image1MouseUp(Qt::MouseButton, QPoint, QPoint) { settings_.Dragging = false; }

void TForm1::Image1DblClick() {
  // The client area is the design's under whatever frame the window manager
  // draws (its frame is not ours to size), and one pixel narrower without.
  const bool bordered = !HasBorder();
  SetBorder(bordered);
  setFixedSize(bordered ? kBorderedClientSize : kBorderlessSize);
  settings_.WindowBorderStyle = bordered ? 1 : 2;
}

bool TForm1::HasBorder() const { return !windowFlags().testFlag(Qt::FramelessWindowHint); }

void TForm1::SetBorder(bool bordered) {
  if (HasBorder() == bordered) return;
  // Qt drops "frameless" while title-bar hints are set, so the two frames are
  // whole sets of flags.
  Qt::WindowFlags flags = bordered ? kWindowFlags : (Qt::Window | Qt::FramelessWindowHint);
  flags.setFlag(Qt::WindowStaysOnTopHint, windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  SetWindowFlagsKeepingVisibility(flags);
}

void TForm1::SetWindowFlagsKeepingVisibility(Qt::WindowFlags flags) {
  if (!platform_->PlacesWindows() && windowHandle() != nullptr) {
    // A new native window would go wherever the compositor puts new ones:
    // this one changes its frame where it stands.
    overrideWindowFlags(flags);
    windowHandle()->setFlags(flags);
    return;
  }
  // Changing the flags re-creates the native window, which hides it. The new
  // one is placed by its outer corner, where the old one's was: the window
  // manager, which alone knows its frame, puts the frame there.
  const bool visible = isVisible();
  const QPoint corner = frameGeometry().topLeft();
  setWindowFlags(flags);
  if (!visible) {
    move(corner);
    return;
  }
  // It was on the screen, so it is not minimised, whatever the last state
  // change we heard of said: a window manager that restored it (alt-Tab, a
  // taskbar) need not tell. Shown minimised it would drop into the tray.
  setWindowState(windowState() & ~Qt::WindowMinimized);
  move(corner);
  show();
  corner_keeper_->Keep(corner);
}

// --- Placement, as the settings record it ------------------------------------

WindowPlacement TForm1::RecordPlacement() const {
  constexpr Qt::WindowStates kNotNormal =
      Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
  // A platform that places windows itself reports no real place: the
  // recorded one stands.
  const bool placed = platform_->PlacesWindows();
  return WindowPlacement{placed ? y() : settings_.WindowTop,   placed ? x() : settings_.WindowLeft,
                         (windowState() & kNotNormal) ? 2 : 1, HasBorder() ? 1 : 2,
                         Lockwindowdrag1->isChecked(),         Stayontop1->isChecked()};
}

void TForm1::ApplyPlacement(const WindowPlacement& p) {
  SetBorder(p.BorderStyle == 1);
  if (platform_->PlacesWindows()) move(OnAScreen(QPoint(p.Left, p.Top), frameGeometry().size()));
  if (p.State == 1) {
    setWindowState(windowState() & ~Qt::WindowMinimized);
  } else {
    setWindowState(windowState() | Qt::WindowMinimized);
  }
  Lockwindowdrag1->setChecked(p.LockDrag);
  Stayontop1->setChecked(p.StayOnTop);
}

// --- The tick's host ----------------------------------------------------------

// Until the panel is built its check box could only show the record.
bool TForm1::SaveGifChecked() const {
  return panel_ != nullptr ? panel_->SaveGifChecked() : settings_.SaveGif;
}

void TForm1::SetResetCaptions(const std::string& oid1, const std::string& oid2) {
  reset_captions_ = {QString::fromStdString(oid1), QString::fromStdString(oid2)};
  if (panel_ != nullptr) panel_->SetResetCaptions(reset_captions_[0], reset_captions_[1]);
}

TConfigPanel* TForm1::ConfigPanel() {
  if (panel_ == nullptr) {
    BuildPanel();
    panel_->ShowSettings();
  }
  return panel_;
}

// Built, its controls hold the defaults.
void TForm1::BuildPanel() {
  panel_ = new TConfigPanel(settings_, *this, PageControl1);
  panel_->setWindowTitle("Conf");
  panel_->SetAppIcon(QApplication::windowIcon());
  PageControl1->addWidget(panel_);
  panel_->SetResetCaptions(reset_captions_[0], reset_captions_[1]);
}

void TForm1::SettingsToControls() {
  if (panel_ != nullptr) panel_->ShowSettings();
  ShowRecordOnWindow(*this, settings_);
}

// Only a first start, with nothing stored, asks this of a window whose panel
// is not built yet: the record then takes the defaults the panel is built with.
void TForm1::ControlsToSettings() {
  if (panel_ == nullptr) BuildPanel();
  panel_->ControlsToSettings();
}

void TForm1::SetTrayHint(const std::string& hint) {
  tick_hint_ = hint;
  if (usage_) {
    // Asked once a tick; the recorder reads its store once a minute at most.
    // The line is built again only when a figure it shows has changed.
    const Clock& clock = seams_.clock != nullptr ? *seams_.clock : system_clock_;
    const UsageReport& r = usage_->Usage(clock.UnixSeconds());
    const std::array<std::int64_t, 3> figures{r.today_in_bytes + r.today_out_bytes, r.total(),
                                              r.cap_bytes};
    if (figures != usage_figures_ || usage_line_.isEmpty()) {
      usage_figures_ = figures;
      usage_line_ = QString::fromStdString(UsageLine(r));
    }
  }
  ShowTrayHint(tick_hint_);
}

void TForm1::ShowTrayHint(const std::string& rates) {
  if (!TrayIcon1) return;
  std::string first = rates;
  // The tick's hint already says when the host is silent, in short.
  for (const auto& [kind, status] : faults_)
    if (kind != TickFault::kNoAnswer) first += " (" + status.message() + ")";
  QString hint = QString::fromStdString(first);
  if (!usage_line_.isEmpty()) {
    // A long fault gives way: the usage line always fits the tooltip.
    hint.truncate(std::max<qsizetype>(0, TTrayIcon::kMaxHintLength - usage_line_.size() - 1));
    hint += QChar('\n') + usage_line_;
  }
  TrayIcon1->SetHint(hint);
}

// Faults may be told from inside the recorder: the hint is shown again
// without asking it.
void TForm1::ReportFault(TickFault kind, const Status& status) {
  faults_[kind] = status;
  ShowFaults();
  ShowTrayHint(tick_hint_);
}

void TForm1::ClearFault(TickFault kind) {
  faults_.erase(kind);
  ShowFaults();
  ShowTrayHint(tick_hint_);
}

std::optional<TickFault> TForm1::FaultShown() const {
  // Without readings nothing else matters much; a file can wait.
  for (TickFault kind : {TickFault::kNoAnswer, TickFault::kPictureFile, TickFault::kSnapshotFile,
                         TickFault::kUsageStore})
    if (faults_.contains(kind)) return kind;
  return std::nullopt;
}

void TForm1::ShowFaults() {
  const std::optional<TickFault> kind = FaultShown();
  StatusStrip1->SetFault(kind ? QString::fromStdString(faults_.at(*kind).message()) : QString());
}

void TForm1::StatusStrip1Click() {
  const std::optional<TickFault> kind = FaultShown();
  // No setting mends the usage history: its message says where the file is.
  if (!kind || *kind == TickFault::kUsageStore) return;
  const StatusCode code = faults_.at(*kind).code();
  const bool user = code == StatusCode::kRefused || code == StatusCode::kInvalidArgument;
  const char* page = *kind != TickFault::kNoAnswer ? "GIF" : user ? kSnmpPageCaption : "Network";
  Configuration1Click();
  ConfigPanel()->ShowPageCaptioned(page);
}

void TForm1::SnapshotWritten(const std::string& path) {
  StatusStrip1->ShowNotice(QString::fromStdString("Snapshot written to " + path));
}

void TForm1::SetTrayIcon(const Surface& tray_bitmap) {
  if (!TrayIcon1) return;
  QIcon icon;
  if (TTrayIcon::IconFromBitmap(tray_bitmap, icon, kWhite)) {
    TrayIcon1->SetImage(icon);
    TrayIcon1->UpdateIcon();
  }
}

void TForm1::SaveTotals() { store_->SaveTotals(); }

void TForm1::SettingsApplied() {
  store_->SettingsApplied();
  // Saved at once, as at the close: a crash, a kill or a lost display no
  // longer loses what was applied. A save that fails is told, and Apply goes
  // on (the close tries again).
  errors_.Run([this] { store_->SaveSettingsAtClose(); });
  // A new host, reset day or cap shows at once, not a minute later.
  if (history_ && history_->isVisible()) history_->Refresh();
}

void TForm1::InterfaceMoved(const std::string& notice) {
  // The record holds the new identifiers, saved at close like applied ones;
  // the OID pages must not put the old ones back at the next Apply.
  if (panel_ != nullptr) panel_->ShowFollowedInterface();
  if (TrayIcon1 && TrayIcon1->isVisible()) {
    TrayIcon1->showMessage("Plovex", QString::fromStdString(notice));
  }
}

void TForm1::ReportErrors(const std::function<void()>& handler) {
  errors_.Run(handler);
  // Whatever the handler drew, also when it failed part-way.
  Image1->update();
}

// --- Closing ------------------------------------------------------------------

void TForm1::Close1Click() { CloseFor(CloseReason::kCommand, nullptr); }

bool TForm1::CloseOnSignal(std::ostream& err) { return CloseFor(CloseReason::kSignal, &err); }

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TForm1::FormClose() { CloseFor(CloseReason::kWindowManager, nullptr); }

bool TForm1::CloseFor(CloseReason reason, std::ostream* err) {
  if (!closing_) {
    closing_ = true;
    Stop();
    errors_.Dismiss();
    std::string notice;
    try {
      store_->SaveSettingsAtClose();
      notice = store_->TakeNotice();
    } catch (const std::exception& e) {
      close_failure_ = e.what();
    }
    if (!notice.empty()) {
      if (reason != CloseReason::kSignal) {
        errors_.ShowAndWait(notice);
      } else if (err != nullptr) {
        *err << "plovex: " << DisplayMessage(notice) << std::endl;
      }
    }
    // A failed save is told once and the program ends all the same: a
    // program that cannot be closed cannot be logged out of either. On a
    // signal no one may be there to dismiss a box (a logout).
    if (close_failure_ && reason != CloseReason::kSignal) errors_.ShowAndWait(*close_failure_);
    ReleaseAtClose();
    // After the window manager's close the accepted event hides the window;
    // after a signal the caller ends the event loop.
    if (reason != CloseReason::kWindowManager) hide();
    if (reason == CloseReason::kCommand) QCoreApplication::quit();
  }
  // Also a signal that ends a close still waiting on its box says why.
  if (close_failure_ && reason == CloseReason::kSignal) {
    *err << "plovex: " << DisplayMessage(*close_failure_) << std::endl;
  }
  return !close_failure_;
}

void TForm1::ReleaseAtClose() {
  if (history_) history_->close();
  run_.SetTick(nullptr);
  tick_.reset();
  agent_poll_.reset();
  client_.reset();
  if (TrayIcon1) TrayIcon1->Remove();
}

}  // namespace plovex
