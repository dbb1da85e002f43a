// The usage store as years of use leave it, each figure beside the same work
// on an in-memory SQLite database (the anchor: no file, no WAL, no page
// cache misses):
//   ten years     a day's minutes a transaction, 3,650 of them, with the
//                 aging that a real minute's write does: wall time, and the
//                 file's size (database and WAL) against the in-memory one's
//                 pages
//   one minute    the recorder's transaction a minute on the ten-year store
//   --usage       `plovex --usage` as a whole process reading the ten-year
//                 store (given the program as the first argument), against
//                 ReadUsage on the in-memory store
// Goals: the file under 5 MB, the minute under 2 ms, --usage under 50 ms.
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/median_ms.h"
#include "core/plovex_settings.h"
#include "history/usage_period.h"
#include "history/usage_store.h"

namespace plovex {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kYears = 10;
constexpr std::int64_t kDay = 86400;

std::unique_ptr<UsageStore> OpenOrDie(const std::string& path) {
  Result<std::unique_ptr<UsageStore>> s = UsageStore::Open(path);
  if (!s.ok()) {
    std::fprintf(stderr, "usage_store_bench: %s\n", s.status().message().c_str());
    std::exit(1);
  }
  return std::move(*s);
}

// A day of a busy line: every minute some bytes, more in the evening.
std::vector<UsageMinute> DayOfMinutes(std::int64_t day) {
  std::vector<UsageMinute> minutes(1440);
  for (int i = 0; i < 1440; ++i) {
    const std::int64_t in = (i >= 1080 && i < 1380 ? 40'000'000 : 2'000'000) + i * 977;
    minutes[i] = {day + i * 60, in, in / 12, in / 60 + 1, in / 720 + 1};
  }
  return minutes;
}

// Ten years up to `end`, a day a transaction; returns the wall time in ms.
double FillYears(UsageStore& store, const UsageKey& key, std::int64_t end) {
  const auto start = Clock::now();
  for (std::int64_t day = end - kYears * 365 * kDay; day < end; day += kDay) {
    const std::vector<UsageMinute> minutes = DayOfMinutes(day);
    if (!store.Add(key, minutes, day + kDay).ok()) std::abort();
  }
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double MinuteMs(UsageStore& store, const UsageKey& key, std::int64_t end) {
  std::int64_t now = end;
  return MedianMs(301, [&] {
    const UsageMinute m{now - now % 60, 123456, 7890, 2057, 131};
    if (!store.Add(key, {&m, 1}, now).ok()) std::abort();
    now += 60;
  });
}

double ProgramMs(const char* program, const std::string& state, const std::string& config) {
  return MedianMs(21, [&] {
    const pid_t pid = fork();
    if (pid == 0) {
      setenv("XDG_STATE_HOME", state.c_str(), 1);
      setenv("XDG_CONFIG_HOME", config.c_str(), 1);
      if (!freopen("/dev/null", "w", stdout)) _exit(126);
      execl(program, program, "--usage", static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "usage_store_bench: %s --usage failed\n", program);
      std::exit(1);
    }
  });
}

std::int64_t FileBytes(const std::string& path) {
  std::error_code ec;
  std::int64_t bytes = 0;
  for (const char* suffix : {"", "-wal"}) {
    const auto size = fs::file_size(path + suffix, ec);
    if (!ec) bytes += static_cast<std::int64_t>(size);
  }
  return bytes;
}

int Main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: usage_store_bench PATH-TO-PLOVEX\n");
    return 2;
  }
  std::string pattern = (fs::temp_directory_path() / "plovex-usage-bench-XXXXXX").string();
  const std::string dir = ::mkdtemp(pattern.data());
  const std::string state = dir + "/state";
  const std::string config = dir + "/config";  // empty: the default settings' key
  fs::create_directories(state + "/plovex");
  fs::create_directories(config);
  const std::string path = state + "/plovex/history.sqlite";

  TPlovexSettings s;
  ApplyDefaultSettings(s);
  const UsageKey key = MakeUsageKey(s.Ip, s.Interface, s.Oid1.Oid, s.Oid2.Oid);
  const std::int64_t end = LocalDayStart(static_cast<std::int64_t>(std::time(nullptr)));

  auto memory = OpenOrDie(":memory:");
  const std::int64_t memory_before = sqlite3_memory_used();
  const double fill_memory = FillYears(*memory, key, end);
  const std::int64_t memory_bytes = sqlite3_memory_used() - memory_before;
  auto file = OpenOrDie(path);
  const double fill_file = FillYears(*file, key, end);
  const std::int64_t file_bytes = FileBytes(path);
  std::error_code no_wal;
  const auto wal_bytes = static_cast<std::int64_t>(fs::file_size(path + "-wal", no_wal));

  const double minute_memory = MinuteMs(*memory, key, end);
  const double minute_file = MinuteMs(*file, key, end);
  file.reset();  // --usage reads it as another process would

  const double read_memory = MedianMs(21, [&] {
    if (!ReadUsage(*memory, key, end + 3600, 1, 0).ok()) std::abort();
  });
  const double program = ProgramMs(argv[1], state, config);

  std::printf("usage store of %d simulated years in %s\n", kYears, dir.c_str());
  std::printf("%-44s %12s %12s %8s\n", "", "file", "in memory", "ratio");
  std::printf("%-44s %9.0f ms %9.0f ms %8.2f\n", "ten years, a day a transaction", fill_file,
              fill_memory, fill_file / fill_memory);
  std::printf("%-44s %9.2f MB %9.2f MB %8.2f\n", "size (file: database + WAL)", file_bytes / 1e6,
              memory_bytes / 1e6, static_cast<double>(file_bytes) / memory_bytes);
  std::printf("%-44s %9.2f MB\n", "  of which the WAL", no_wal ? 0.0 : wal_bytes / 1e6);
  std::printf("%-44s %9.3f ms %9.3f ms %8.2f\n", "one minute's transaction", minute_file,
              minute_memory, minute_file / minute_memory);
  std::printf("%-44s %9.3f ms %9.3f ms %8.2f\n", "plovex --usage (process) / ReadUsage", program,
              read_memory, program / read_memory);
  std::printf(
      "goals: file %.2f MB (under 5), minute %.3f ms (under 2), --usage %.1f ms (under 50)\n",
      file_bytes / 1e6, minute_file, program);
  fs::remove_all(dir);
  return 0;
}

}  // namespace
}  // namespace plovex

int main(int argc, char** argv) { return plovex::Main(argc, argv); }
