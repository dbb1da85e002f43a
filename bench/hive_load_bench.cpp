// The settings store on the real hive file in a temporary directory:
//   anchor        reading the 40,000-key export's bytes and counting its lines
//                 (a linear pass over the same bytes: the yardstick)
//   parse         ReadHiveText of those bytes alone
//   load 10k/40k  LoadSettings from a fresh HiveFile on an export of 10,000 or
//                 40,000 other keys with Plovex's key at the end (reading,
//                 parsing, and committing the load's marker, fsync included)
//   totals warm   SaveTotals on the usual small hive, as the window runs it
//   totals cold   the same from a fresh HiveFile (one parse more)
// Each is the median wall time of its runs; printed as absolute times and as
// ratios against the anchor of the same run. Goals: the 40,000-key load under
// 0.5 s, SaveTotals under 2 ms; load 40k / load 10k near 4 (linear).
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "bench/median_ms.h"
#include "settings/headless_controls.h"
#include "settings/hive_file.h"
#include "settings/hive_text_reader.h"
#include "settings/hive_text_writer.h"
#include "settings/settings_store.h"
#include "settings/testing/memory_hive.h"

namespace plovex {
namespace {

namespace fs = std::filesystem;

// Plovex's own key, as a close saves it (host 127.0.0.1), without the header.
std::string PlovexKeyText() {
  TPlovexSettings s;
  ApplyDefaultSettings(s);
  s.Ip = "127.0.0.1";
  MemoryHive hive;
  HeadlessControls controls(s);
  SettingsStore store(hive, s, controls);
  store.SaveSettings();
  store.SaveTotals();
  const std::string text = WriteHiveText(hive.document());
  return text.substr(text.find('['));
}

// A registry export: `keys` keys of other programs, three values each, then
// Plovex's key.
std::string ExportText(int keys) {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
  char line[512];
  for (int k = 0; k < keys; ++k) {
    std::snprintf(line, sizeof line,
                  "[HKEY_CURRENT_USER\\Software\\Vendor%03d\\Product%05d]\r\n"
                  "\"InstallPath\"=\"C:\\\\Program Files\\\\Product%05d\"\r\n"
                  "\"Flags\"=dword:%08x\r\n"
                  "\"Blob\"=hex:01,02,03,04,05,06,07,08\r\n\r\n",
                  k % 997, k, k, k);
    text += line;
  }
  return text + PlovexKeyText();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

double LoadMs(const std::string& path, int keys, int runs) {
  WriteFile(path, ExportText(keys));
  return MedianMs(runs, [&] {
    HiveFile hive(path);
    TPlovexSettings s;
    HeadlessControls controls(s);
    SettingsStore(hive, s, controls).LoadSettings();
    if (s.Ip != "127.0.0.1") std::abort();
  });
}

int Main() {
  std::string pattern = (fs::temp_directory_path() / "plovex-hive-bench-XXXXXX").string();
  const std::string dir = ::mkdtemp(pattern.data());
  const std::string big = dir + "/export.reg";
  const std::string small = dir + "/registry.reg";

  WriteFile(big, ExportText(40000));
  const double anchor = MedianMs(9, [&] {
    const std::string bytes = ReadFile(big);
    if (std::count(bytes.begin(), bytes.end(), '\n') < 40000) std::abort();
  });
  const std::string bytes = ReadFile(big);
  const double parse = MedianMs(5, [&] {
    if (!ReadHiveText(bytes)) std::abort();
  });
  const double load10 = LoadMs(big, 10000, 5);
  const double load40 = LoadMs(big, 40000, 5);

  WriteFile(small, "Windows Registry Editor Version 5.00\n\n" + PlovexKeyText());
  TPlovexSettings s;
  HeadlessControls controls(s);
  HiveFile hive(small);
  SettingsStore store(hive, s, controls);
  store.LoadSettings();
  const double totals_warm = MedianMs(51, [&] {
    s.Oid1.Total += 1;
    store.SaveTotals();
  });
  const double totals_cold = MedianMs(51, [&] {
    HiveFile fresh(small);
    SettingsStore cold(fresh, s, controls);
    s.Oid1.Total += 1;
    cold.SaveTotals();
  });

  struct statfs fs_info {};
  ::statfs(dir.c_str(), &fs_info);
  std::printf("hive files in %s (file system type 0x%lx), export of 40,000 keys: %.1f MB\n",
              dir.c_str(), static_cast<unsigned long>(fs_info.f_type), bytes.size() / 1e6);
  std::printf("%-34s %10s %10s\n", "", "ms", "/anchor");
  const auto row = [&](const char* name, double ms) {
    std::printf("%-34s %10.3f %10.1f\n", name, ms, ms / anchor);
  };
  row("anchor: read + count lines (40k)", anchor);
  row("parse only (40k)", parse);
  row("LoadSettings, 10,000 keys", load10);
  row("LoadSettings, 40,000 keys", load40);
  row("SaveTotals, small hive, warm", totals_warm);
  row("SaveTotals, small hive, cold", totals_cold);
  std::printf("load 40k / load 10k: %.2f (4 is linear)\n", load40 / load10);
  std::printf("goals: load 40k %.0f ms (under 500), SaveTotals %.3f ms (under 2)\n", load40,
              totals_warm);
  fs::remove_all(dir);
  return 0;
}

}  // namespace
}  // namespace plovex

int main() { return plovex::Main(); }
