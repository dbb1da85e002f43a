#pragma once
// TForm1: the main window. It owns, from FormCreate to the end of the
// program, the settings record with its tray miniature, the 400 x 160 picture
// and the long-lived SNMP client, and carries every handler of the window: the
// Start and Stop buttons, the tick timer, the picture's popup menu, dragging by
// the picture, the border toggle and the ways to close (the close button, the
// command "Close", a termination signal). Closing always ends the program; a
// closing save that fails is reported once. The configuration panel (page
// "Conf"), the tray icon, the tick and the settings store do the work; the
// handlers only call them in order.
//
// The window is the tick's host (reset labels, "Save to GIF every", tray hint
// and icon, totals) and the panel's host (timer, picture, placement).
//
// Failure: every handler runs through the error display, which shows what it
// throws and lets the program carry on; the timer keeps running. A tick that
// fails as the one before did opens no box again; the tray hint carries the
// message while the fault lasts. What the tick could not do but went on
// without (a silent host, a picture that cannot be written) opens no box: the
// status strip over the bottom of the picture says it while it lasts, and a
// click on it opens the page of the settings to check.
//
// Seams: the hive is borrowed; the poll, the picture writer, the clock, the
// notification area and the windowing platform default to the real ones (the
// agent over the window's client, GIF files in the picture folder, by default
// the user's state folder, the system clock, the desktop's tray and platform)
// and may be replaced by tests.
//
// Platforms: where the platform cannot place or stack windows (Wayland), the
// window is moved by the compositor, its place is neither set nor recorded,
// and "Stay on top" is offered disabled, saying why.
#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/agent_poll_source.h"
#include "core/clock.h"
#include "core/picture_writer.h"
#include "core/plovex_settings.h"
#include "core/run_control.h"
#include "core/tick_cycle.h"
#include "core/tick_host.h"
#include "image/font.h"
#include "image/surface.h"
#include "settings/panel/panel_host.h"
#include "settings/panel/tconfig_panel.h"
#include "settings/registry_hive.h"
#include "settings/settings_controls.h"
#include "settings/settings_store.h"
#include "shell/corner_keeper.h"
#include "shell/error_display.h"
#include "shell/thistory_window.h"
#include "shell/timage.h"
#include "shell/tray_presence.h"
#include "shell/tstatus_strip.h"
#include "shell/ttray_icon.h"
#include "shell/window_platform.h"
#include "snmp/tsnmp_send.h"

namespace plovex {

// Why the window ends: the command "Close", the window manager (its close
// button, the system menu, a logout that asks), or a termination signal.
enum class CloseReason { kCommand, kWindowManager, kSignal };

struct TForm1Seams {
  RegistryHive* hive = nullptr;        // required
  PollSource* poll = nullptr;          // null: the agent, over the window's client
  PictureWriter* writer = nullptr;     // null: GIF files in the picture folder
  const Clock* clock = nullptr;        // null: the system clock
  TrayPresence* tray = nullptr;        // null: the desktop's notification area
  WindowPlatform* platform = nullptr;  // null: the toolkit's platform
  // The usage history's file; empty: the user's state folder, and none at
  // all on a hand-set clock, whose minutes are not time.
  std::string usage_path{};
  Notifier* notifier = nullptr;  // null: the desktop's notification service
};

class TForm1 : public QWidget,
               public TickHost,
               public PanelHost,
               private SettingsControls,
               private RunHost {
  Q_OBJECT

 public:
  // Client sizes the border toggle gives the window: the design's inside the
  // window manager's frame; without a border, one pixel narrower.
  static constexpr QSize kBorderedClientSize{414, 173};
  static constexpr QSize kBorderlessSize{413, 173};

  explicit TForm1(const TForm1Seams& seams);
  ~TForm1() override;

  // The steps of the popup command "Clear": stop, whiten, restart. Throws
  // what the restart's tick throws.
  void ClearGraph();

  // The start-up sequence: settings record, LoadSettings, pages, tray
  // miniature and first icon, SNMP client, Start. Errors are shown once and
  // start-up goes on with the record as it stands.
  void FormCreate();
  // Shows the window, or keeps it in the tray when the stored state is
  // minimised; applies the stored stacking.
  void ShowAtStart();

  // The end on a termination signal. A failed closing save goes to `err`,
  // not into a box: no one may be there to dismiss it (a logout). False when
  // the closing save failed, also when another close path ran it. The caller
  // then ends the event loop (and every modal one inside it).
  bool CloseOnSignal(std::ostream& err);
  // A close path has run (FormCreate stops early when one ran during it).
  bool Closing() const { return closing_; }

  TPlovexSettings& Settings() { return settings_; }
  const Surface& Picture() const { return picture_; }
  ErrorDisplay& Errors() { return errors_; }
  // The configuration panel, built at the first call: most runs never open
  // it, and its widgets would otherwise be resident for the whole run.
  TConfigPanel* ConfigPanel();
  TTrayIcon* TrayIcon() const { return TrayIcon1; }
  THistoryWindow* HistoryWindow() const { return history_; }
  TStatusStrip* StatusStrip() const { return StatusStrip1; }
  // What "Stay on top" says where the platform does not honour it.
  static const char* const kNoStayOnTopReason;
  bool TimerRunning() const { return Timer1->isActive(); }
  int TimerInterval() const { return Timer1->interval(); }

  // TickHost.
  bool SaveGifChecked() const override;
  void SetResetCaptions(const std::string& oid1, const std::string& oid2) override;
  void SetTrayHint(const std::string& hint) override;
  void SetTrayIcon(const Surface& tray_bitmap) override;
  void SaveTotals() override;
  void ReportFault(TickFault kind, const Status& status) override;
  void ClearFault(TickFault kind) override;
  void SnapshotWritten(const std::string& path) override;

  // The window's Start and Stop buttons (RunControl's Start and Stop).
  void Stop();
  void Start();
  // The whitening between Clear's Stop and Start.
  void ClearPictures();

  // PanelHost.
  void SettingsApplied() override;
  // The poll followed the "Interface" setting to a new index: told once.
  void InterfaceMoved(const std::string& notice);
  void RestartGraph(const std::function<void()>& apply) override;
  void ShowGraphPage() override;
  void SetTimerPeriod(std::int64_t milliseconds) override;
  WindowPlacement RecordPlacement() const override;
  void ApplyPlacement(const WindowPlacement& placement) override;
  void ReportErrors(const std::function<void()>& handler) override;

 public slots:
  void Button2Click();  // Start
  void Button3Click();  // Stop
  void Timer1Timer();
  void Configuration1Click();
  // Opens the History window, or brings the open one to the front.
  void History1Click();
  void InstantSnapShot1Click();
  void Clear1Click();
  void Stayontop1Click();
  void Lockwindowdrag1Click();
  void Minimize1Click();
  void Close1Click();
  void ShowHide1Click();
  void Image1MouseDown(Qt::MouseButton button, QPoint at, QPoint global);
  void Image1MouseMove(QPoint at, QPoint global);
  void Image1MouseUp(Qt::MouseButton button, QPoint at, QPoint global);
  void Image1DblClick();
  void TrayIcon1DblClick();
  // Opens the configuration page whose settings mend the fault shown.
  void StatusStrip1Click();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void PopupMenu1Popup(QPoint global);

 private:
  // RunHost.
  void SetRunning(bool running) override;
  void PicturesCleared() override;
  // SettingsControls, for the store: through the panel once it is built,
  // before that straight from the record, which is all the panel would show.
  void SettingsToControls() override;
  void ControlsToSettings() override;
  void BuildPanel();

  void BuildMenu();
  void BuildTrayMenu();
  void UpdateShowHide();
  // The hint: the rates line with the faults that last, then the usage line.
  void ShowTrayHint(const std::string& rates);
  // The fault that matters most goes to the status strip.
  void ShowFaults();
  std::optional<TickFault> FaultShown() const;
  void ShowPictureFocus(bool shown);
  void FormClose();
  // Every close path: Stop, the closing save, the release of the client, the
  // tick and the tray icon; then the window goes. Closing always succeeds and
  // runs once; a failed save is shown once in a box that is waited for, or
  // on a signal written to `err`. False when the save failed.
  bool CloseFor(CloseReason reason, std::ostream* err);
  void ReleaseAtClose();
  std::string UsagePath() const;
  void UpdateTimer();
  // Runs one tick through the error display: a fault is shown once.
  void RunTick(const std::function<void()>& tick);
  void RunStartTick(const std::function<void()>& tick) override;
  bool HasBorder() const;
  void SetBorder(bool bordered);
  void SetStayOnTop(bool on_top);
  void SetWindowFlagsKeepingVisibility(Qt::WindowFlags flags);

  TForm1Seams seams_;
  std::unique_ptr<WindowPlatform> desktop_platform_;
  WindowPlatform* platform_ = nullptr;
  TPlovexSettings settings_;
  Surface picture_;
  std::unique_ptr<Font> font_;
  PosixClock system_clock_;
  std::unique_ptr<PictureWriter> gif_writer_;
  std::unique_ptr<TSNMPSend> client_;
  std::unique_ptr<AgentPollSource> agent_poll_;
  std::unique_ptr<UsageRecorder> usage_;  // written at its end, after the last tick
  std::unique_ptr<TickCycle> tick_;
  Notifier* notifier_ = nullptr;  // the seam's, or a child DesktopNotifier
  std::unique_ptr<SettingsStore> store_;
  RunControl run_;
  ErrorDisplay errors_;

  bool timer_enabled_ = false;
  std::int64_t timer_period_ = 0;
  QPoint drag_anchor_;              // pointer minus window corner at the press
  QPoint press_at_;                 // the pointer on the screen at the press
  bool system_move_asked_ = false;  // this drag has asked the platform to move
  bool picture_focus_shown_ = false;
  bool closing_ = false;                         // a close path has run; closing always succeeds
  std::optional<std::string> close_failure_;     // why the closing save failed
  std::string tick_hint_ = "Plovex";             // the hint the last tick set
  QString usage_line_;                           // "Today 1.2 GB · this period …"
  std::array<std::int64_t, 3> usage_figures_{};  // what usage_line_ shows
  std::map<TickFault, Status> faults_;           // the tick's faults that last

  QStackedWidget* PageControl1 = nullptr;
  QFrame* Panel1 = nullptr;
  TImage* Image1 = nullptr;
  TStatusStrip* StatusStrip1 = nullptr;
  TConfigPanel* panel_ = nullptr;          // until the first ConfigPanel() call
  std::array<QString, 2> reset_captions_;  // for LblRstOID1 and LblRstOID2
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QTimer* Timer1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QAction* Configuration1 = nullptr;
  QAction* History1 = nullptr;
  QAction* InstantSnapShot1 = nullptr;
  QAction* Clear1 = nullptr;
  QAction* Stayontop1 = nullptr;
  QAction* Lockwindowdrag1 = nullptr;
  QAction* Minimize1 = nullptr;
  QAction* Close1 = nullptr;
  QMenu* TrayMenu1 = nullptr;
  QAction* ShowHide1 = nullptr;
  QPointer<TTrayIcon> TrayIcon1;
  QPointer<THistoryWindow> history_;
  CornerKeeper* corner_keeper_ = nullptr;
};

}  // namespace plovex
