#include "shell/usage_reporter.h"

#include <ctime>
#include <filesystem>
#include <ostream>

#include "history/usage_period.h"
#include "history/usage_recorder.h"
#include "shell/stored_settings.h"

namespace plovex {

int RunUsageProgram(bool json, const std::string& hive_path, std::ostream& out, std::ostream& err) {
  Result<TPlovexSettings> loaded = LoadStoredSettings(hive_path);
  if (!loaded.ok()) {
    err << "plovex: " << loaded.status().message() << std::endl;
    return 1;
  }
  TPlovexSettings& settings = *loaded;
  const Result<std::int64_t> cap = ParseCapBytes(settings.UsageCap);
  if (!cap.ok()) {
    err << "plovex: " << cap.status().message() << std::endl;
    return 1;
  }
  const UsageKey key =
      MakeUsageKey(settings.Ip, settings.Interface, settings.Oid1.Oid, settings.Oid2.Oid);
  const std::string path = DefaultUsageStorePath();
  const auto now = static_cast<std::int64_t>(std::time(nullptr));
  Result<UsageReport> report = Status::NotFound("");
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) {
    Result<std::unique_ptr<UsageStore>> opened = UsageStore::Open(path, true);
    if (!opened.ok()) {
      err << "plovex: " << opened.status().message() << std::endl;
      return 1;
    }
    report = ReadUsage(**opened, key, now, settings.UsageResetDay, *cap);
  } else {
    // Nothing recorded yet is a period of no usage, not an error.
    Result<std::unique_ptr<UsageStore>> empty = UsageStore::Open(":memory:");
    report = empty.ok() ? ReadUsage(**empty, key, now, settings.UsageResetDay, *cap)
                        : Result<UsageReport>(empty.status());
  }
  if (!report.ok()) {
    err << "plovex: " << report.status().message() << std::endl;
    return 1;
  }
  out << (json ? UsageJson(*report) : UsageText(*report));
  return out.flush() ? 0 : 1;
}

}  // namespace plovex
