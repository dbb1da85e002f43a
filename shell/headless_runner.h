#pragma once
// HeadlessRunner: Plovex without a window, for servers. It loads the settings
// as the window does, runs Start and then one tick every Refresh seconds on a
// steady schedule (deadlines, not sleeps after the work), writes the pictures
// into the working directory, prints each tick's tray hint as one line on
// `out` and each error's message (as the error display shows it) on `err`,
// with one line on `err` when the host stops answering and one when it
// answers again, and one per notice of a channel's rate or of the cap
// (core/notice_rules.h).
// A picture that cannot be written is one line on `err` when the fault
// begins and one when it ends; the ticks go on.
// It stops after a given number of ticks (the Start tick counts, and takes
// only the baseline: no rate before the second tick) or when the waiter
// reports a stop, then saves the settings as the window's close does (not
// after a load that failed part-way: the stored settings stay as they are).
//
// A Refresh of 0 or less never starts the timer (as an interval of 0 stops a
// window timer): only the Start tick runs; the runner then waits for a stop,
// or returns at once when a tick count was given.
//
// Metrics: with an address ("--metrics", else the "MetricsListen" setting)
// and a MetricsService, the runner opens the service before the first poll
// (for "--metrics" before the settings are read) and tells it every tick. A
// service that cannot be opened (a port in use) or a "MetricsListen" that is
// no address ends the run at once, nothing polled and nothing saved.
//
// Ownership: borrows everything; the caller keeps it alive during Run.
// Errors of the load and of the ticks are printed and the run goes on; Run
// returns 0, 1 when the closing save failed or the metrics could not be
// served, or else 3 when the host never answered during the whole run.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>

#include "core/clock.h"
#include "core/picture_writer.h"
#include "core/plovex_settings.h"
#include "core/poll_source.h"
#include "core/run_control.h"
#include "core/tick_cycle.h"
#include "core/tick_host.h"
#include "image/font.h"
#include "metrics/listen_address.h"
#include "metrics/metrics_service.h"
#include "settings/settings_store.h"
#include "shell/tick_waiter.h"

namespace plovex {

struct HeadlessArgs {
  std::optional<std::int64_t> ticks;  // stop after this many ticks (>= 1)
  std::optional<ListenAddress> metrics = std::nullopt;
};

// Parses the arguments after "--headless": "--ticks N" / "--ticks=N" with N
// a positive decimal number, "--metrics ADDRESS" / "--metrics=ADDRESS" (see
// listen_address.h), each at most once. Null with `error` set otherwise.
std::optional<HeadlessArgs> ParseHeadlessArgs(std::span<const std::string> args,
                                              std::string& error);

class HeadlessRunner : private TickHost, private RunHost, private Notifier {
 public:
  // store may be null (nothing is loaded or saved).
  HeadlessRunner(TPlovexSettings& settings, SettingsStore* store, Surface& picture,
                 const Clock& clock, PollSource& poll, PictureWriter& writer, Font* font,
                 TickWaiter& waiter, std::ostream& out, std::ostream& err);

  // Null (the default): no metrics, whatever the settings say.
  void ServeMetrics(MetricsService* service) { metrics_ = service; }

  int Run(const HeadlessArgs& args);

 private:
  // The tick's poll, timed and its texts kept for the metrics.
  class WatchedPoll : public PollSource {
   public:
    WatchedPoll(PollSource& inner, const Clock& clock) : inner_(inner), clock_(clock) {}
    void Configure(const TPlovexSettings& s) override { inner_.Configure(s); }
    PollTexts Poll(TPlovexSettings& s) override;
    std::chrono::steady_clock::duration took{};
    PollTexts texts;

   private:
    PollSource& inner_;
    const Clock& clock_;
  };

  bool SaveGifChecked() const override;
  void SetResetCaptions(const std::string&, const std::string&) override {}
  void SetTrayHint(const std::string& hint) override;
  void SetTrayIcon(const Surface&) override {}
  void SaveTotals() override;
  void ReportFault(TickFault kind, const Status& status) override;
  void ClearFault(TickFault kind) override;
  void SnapshotWritten(const std::string& path) override;
  // The runner's own loop is the timer; there is nothing to show.
  void SetRunning(bool) override {}
  void PicturesCleared() override {}
  // Notifier: one line on standard error per notice.
  void Show(const Notice& notice) override;

  void ReportAnswering();
  // False when the metrics cannot be served there (told on err).
  bool OpenMetrics(const ListenAddress& address);
  void TellMetrics();

  // Runs f, printing a PlovexError; true when it did not fail.
  template <typename F>
  bool Guarded(F&& f);

  TPlovexSettings& s_;
  SettingsStore* store_;
  const Clock& clock_;
  TickWaiter& waiter_;
  bool answering_ = true;
  bool answered_ = false;  // the host answered at least once
  std::ostream& out_;
  std::ostream& err_;
  UsageRecorder usage_;
  WatchedPoll poll_;
  MetricsService* metrics_ = nullptr;
  bool metrics_open_ = false;
  std::string sys_name_;  // as the poll last read it
  TickCycle cycle_;
  RunControl run_;
};

// The program's "--headless" mode with the hive at `hive_path`, the real SNMP
// client, GIF writer, clock, font, signals and Prometheus exporter. args are
// the arguments after "--headless". Returns the process exit code (2 for bad
// arguments).
int RunHeadlessProgram(std::span<const std::string> args, const std::string& hive_path,
                       std::ostream& out, std::ostream& err);

}  // namespace plovex
