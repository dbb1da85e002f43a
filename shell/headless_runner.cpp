#include "shell/headless_runner.h"

#include <charconv>
#include <ostream>

#include "base/decimal.h"
#include "core/agent_poll_source.h"
#include "core/gif_picture_writer.h"
#include "core/plovex_error.h"
#include "history/usage_period.h"
#include "metrics/prometheus_exporter.h"
#include "settings/headless_controls.h"
#include "settings/hive_file.h"
#include "shell/command_line.h"
#include "snmp/oid_order.h"
#include "snmp/tsnmp_send.h"

namespace plovex {

std::optional<HeadlessArgs> ParseHeadlessArgs(std::span<const std::string> args,
                                              std::string& error) {
  HeadlessArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    if (const std::size_t equals = name.find('='); name.starts_with("--") && equals != name.npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    } else if (name == "--ticks" || name == "--metrics") {
      if (i + 1 == args.size()) {
        error = name + (name == "--ticks" ? " needs a number" : " needs an address");
        return std::nullopt;
      }
      value = args[++i];
    }
    if (name == "--ticks") {
      std::int64_t n = 0;
      const char* end = value.data() + value.size();
      const auto [ptr, ec] = std::from_chars(value.data(), end, n);
      if (value.empty() || ec != std::errc() || ptr != end || n < 1) {
        error = "--ticks needs a positive whole number, not '" + value + "'";
        return std::nullopt;
      }
      if (parsed.ticks) {
        error = "--ticks given twice";
        return std::nullopt;
      }
      parsed.ticks = n;
    } else if (name == "--metrics") {
      Result<ListenAddress> address = ParseListenAddress(value);
      if (!address.ok()) {
        error = address.status().message();
        return std::nullopt;
      }
      if (parsed.metrics) {
        error = "--metrics given twice";
        return std::nullopt;
      }
      parsed.metrics = *address;
    } else {
      error = "unknown argument '" + args[i] + "'";
      return std::nullopt;
    }
  }
  return parsed;
}

PollTexts HeadlessRunner::WatchedPoll::Poll(TPlovexSettings& s) {
  const auto started = clock_.Steady();
  texts = inner_.Poll(s);
  took = clock_.Steady() - started;
  return texts;
}

HeadlessRunner::HeadlessRunner(TPlovexSettings& settings, SettingsStore* store, Surface& picture,
                               const Clock& clock, PollSource& poll, PictureWriter& writer,
                               Font* font, TickWaiter& waiter, std::ostream& out, std::ostream& err)
    : s_(settings),
      store_(store),
      clock_(clock),
      waiter_(waiter),
      out_(out),
      err_(err),
      usage_(DefaultUsageStorePath(),
             [this](const Status& status) {
               if (status.ok()) {
                 ClearFault(TickFault::kUsageStore);
               } else {
                 ReportFault(TickFault::kUsageStore, status);
               }
             }),
      poll_(poll, clock),
      cycle_(settings, picture, *this, clock, poll_, writer, font),
      run_(settings, picture, *this) {
  run_.SetTick(&cycle_);
  cycle_.SetUsageRecorder(&usage_);
  cycle_.SetNotifier(this);
}

bool HeadlessRunner::SaveGifChecked() const {
  // Without a panel the "Save to GIF every" box is what the settings say.
  return s_.SaveGif;
}

void HeadlessRunner::SetTrayHint(const std::string& hint) { out_ << hint << std::endl; }

void HeadlessRunner::SaveTotals() {
  if (store_ != nullptr) store_->SaveTotals();
}

void HeadlessRunner::ReportFault(TickFault kind, const Status& status) {
  // A silent host has its own line, with the tray hint's words.
  if (kind == TickFault::kNoAnswer) return;
  err_ << "plovex: " << status.message() << std::endl;
}

void HeadlessRunner::ClearFault(TickFault kind) {
  if (kind == TickFault::kNoAnswer) return;
  if (kind == TickFault::kUsageStore) {
    err_ << "plovex: the usage history is written again" << std::endl;
    return;
  }
  err_ << "plovex: " << (kind == TickFault::kSnapshotFile ? kSnapshotFileName : kPictureFileName)
       << " is written again" << std::endl;
}

void HeadlessRunner::Show(const Notice& notice) {
  // The host's silence has its own lines, from the first unanswered poll on.
  if (notice.kind == NoticeKind::kHost) return;
  err_ << "plovex: " << notice.summary << " (" << notice.body << ")" << std::endl;
}

void HeadlessRunner::SnapshotWritten(const std::string& path) {
  out_ << "Snapshot written to " << path << std::endl;
}

template <typename F>
bool HeadlessRunner::Guarded(F&& f) {
  try {
    f();
    return true;
  } catch (const PlovexError& e) {
    err_ << DisplayMessage(e.what()) << std::endl;
    return false;
  }
}

void HeadlessRunner::ReportAnswering() {
  // One line when the host falls silent and one when it answers again; the
  // ticks in between say it in their hints.
  if (!s_.SnmpFailed) answered_ = true;
  if (s_.SnmpFailed == !answering_) return;
  answering_ = !s_.SnmpFailed;
  if (answering_) {
    err_ << "plovex: " << s_.Ip << " answers again" << std::endl;
  } else {
    err_ << "plovex: " << NoAnswerText(s_) << std::endl;
  }
}

bool HeadlessRunner::OpenMetrics(const ListenAddress& address) {
  if (metrics_ == nullptr) return true;
  if (const Status opened = metrics_->Open(address); !opened.ok()) {
    err_ << "plovex: " << opened.message() << std::endl;
    return false;
  }
  metrics_open_ = true;
  s_.AskUptime = true;
  return true;
}

namespace {

std::string SysNameOf(const TPlovexSettings& s, const PollTexts& texts) {
  // Known when an overlay shows it; the poll asks for nothing more.
  for (int i = 1; i <= 5; ++i) {
    const TextOverlay& o = s.Texts[i];
    const std::string& text = texts[i + 1];
    if (o.Enabled && o.Kind != "Time" && CanonicalOid(o.Oid) == "1.3.6.1.2.1.1.5.0" &&
        !text.empty() && text != "N/A")
      return text;
  }
  return "";
}

}  // namespace

void HeadlessRunner::TellMetrics() {
  if (!metrics_open_) return;
  const PollTexts& texts = poll_.texts;
  TickSample sample;
  sample.answered = !s_.SnmpFailed;
  sample.poll_seconds = std::chrono::duration<double>(poll_.took).count();
  sample.host = s_.Ip;
  // Kept through a silence: the info series would otherwise change its labels.
  if (std::string name = SysNameOf(s_, texts); !name.empty()) sys_name_ = std::move(name);
  sample.sys_name = sys_name_;
  if (!texts[0].empty()) sample.in_rate = s_.Oid1.Rate;
  if (!texts[1].empty()) sample.out_rate = s_.Oid2.Rate;
  if (const Result<std::int64_t> uptime = ParseSignedDecimal(s_.SnmpMemory.Uptime, 64); uptime)
    sample.uptime_hundredths = *uptime;
  const UsageReport& usage = usage_.Usage(clock_.UnixSeconds());
  sample.interface = MakeUsageKey(s_.Ip, s_.Interface, s_.Oid1.Oid, s_.Oid2.Oid).interface;
  sample.octets_in = usage.ever_in_bytes;
  sample.octets_out = usage.ever_out_bytes;
  sample.period_in = usage.in_bytes;
  sample.period_out = usage.out_bytes;
  sample.period_cap = usage.cap_bytes;
  metrics_->Tell(sample);
}

int HeadlessRunner::Run(const HeadlessArgs& args) {
  // An address on the command line is tried before the settings are even
  // read: a port in use then leaves everything as it was.
  if (args.metrics && !OpenMetrics(*args.metrics)) return 1;
  if (store_ != nullptr) Guarded([&] { store_->LoadSettings(); });
  if (!args.metrics && !s_.MetricsListen.empty()) {
    const Result<ListenAddress> stored = ParseListenAddress(s_.MetricsListen);
    if (!stored.ok()) {
      err_ << "plovex: MetricsListen: " << stored.status().message() << std::endl;
      return 1;
    }
    if (!OpenMetrics(*stored)) return 1;
  }

  using std::chrono::seconds;
  const std::int64_t refresh = s_.Refresh;
  auto next = clock_.Steady();
  std::int64_t ticks = 0;
  Guarded([&] { run_.Start(); });
  ReportAnswering();
  TellMetrics();
  ++ticks;

  if (refresh <= 0) {
    err_ << "Refresh is " << refresh << " seconds: the timer does not run" << std::endl;
    if (!args.ticks) waiter_.WaitUntil(std::nullopt);
  } else {
    const auto period =
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(seconds(refresh));
    while (!args.ticks || ticks < *args.ticks) {
      next += period;
      // After an overrun (a slow host) the due tick runs at once and the
      // period counts on from there; missed periods are not made up.
      const auto now = clock_.Steady();
      if (next < now) next = now;
      if (!waiter_.WaitUntil(next)) break;
      Guarded([&] { cycle_.Tick(); });
      ReportAnswering();
      TellMetrics();
      ++ticks;
    }
  }

  // The last minute's bytes would otherwise wait for the next minute's write.
  usage_.Flush(clock_.UnixSeconds());
  // After a load that failed part-way the stored settings are left alone.
  if (store_ != nullptr && !Guarded([&] { store_->SaveSettingsAtClose(); })) return 1;
  if (store_ != nullptr) {
    if (const std::string notice = store_->TakeNotice(); !notice.empty()) {
      err_ << DisplayMessage(notice) << std::endl;
    }
  }
  if (!answered_) {
    err_ << "plovex: " << s_.Ip << " never answered" << std::endl;
    return 3;
  }
  return 0;
}

int RunHeadlessProgram(std::span<const std::string> args, const std::string& hive_path,
                       std::ostream& out, std::ostream& err) {
  std::string error;
  const std::optional<HeadlessArgs> parsed = ParseHeadlessArgs(args, error);
  if (!parsed) {
    err << "plovex: " << error << "\n" << kUsage;
    return 2;
  }
  // First, before anything could start a thread: signals are taken by waiting.
  SignalWaiter waiter;

  std::unique_ptr<Font> font = Font::Find("Arial");
  if (!font) err << "plovex: no font found for \"Arial\"; texts are not drawn" << std::endl;

  TPlovexSettings settings;
  HeadlessControls controls(settings);
  HiveFile hive(hive_path);
  SettingsStore store(hive, settings, controls);
  Surface picture(kPictureWidth, kPictureHeight);
  TSNMPSend client;
  AgentPollSource poll(client, &waiter);
  // Told once, where errors go (the service's journal); saved at the end.
  poll.OnInterfaceMoved(
      [&err](const std::string& notice) { err << "plovex: " << notice << std::endl; });
  // An empty "GifFolder" is the working directory, as ever: the service and
  // the scripts that publish the picture rely on it.
  GifPictureWriter writer(settings, "");
  PosixClock clock;
  HeadlessRunner runner(settings, &store, picture, clock, poll, writer, font.get(), waiter, out,
                        err);
  PrometheusExporter exporter;
  runner.ServeMetrics(&exporter);
  return runner.Run(*parsed);
}

}  // namespace plovex
