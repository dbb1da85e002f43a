#pragma once
// Shared by the desktop window's tests: a hive of the test's own (a temporary
// XDG_CONFIG_HOME, never the user's), seeded with a full set of settings that
// point at 127.0.0.1, and a way to read back what the window saved.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "core/plovex_settings.h"
#include "settings/headless_controls.h"
#include "settings/hive_file.h"
#include "settings/settings_store.h"

namespace plovex {

class TestHive {
 public:
  TestHive() : old_(qgetenv("XDG_CONFIG_HOME")) {
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
    hive_ = std::make_unique<HiveFile>(DefaultHivePath());
  }
  ~TestHive() { qputenv("XDG_CONFIG_HOME", old_); }
  TestHive(const TestHive&) = delete;
  TestHive& operator=(const TestHive&) = delete;

  HiveFile& Hive() { return *hive_; }

  // Stores the defaults, pointed at 127.0.0.1 and changed by `change`.
  void Seed(const std::function<void(TPlovexSettings&)>& change = {}) {
    TPlovexSettings s;
    ApplyDefaultSettings(s);
    s.Ip = "127.0.0.1";
    if (change) change(s);
    HeadlessControls controls(s);
    SettingsStore(*hive_, s, controls).SaveSettings();
    SettingsStore(*hive_, s, controls).SaveTotals();
  }

  // The record as the hive holds it now.
  TPlovexSettings Stored() {
    TPlovexSettings s;
    HeadlessControls controls(s);
    SettingsStore(*hive_, s, controls).LoadSettings();
    return s;
  }

  bool Exists() const { return QFile::exists(QString::fromStdString(hive_->path())); }

 private:
  QTemporaryDir dir_;
  QByteArray old_;
  std::unique_ptr<HiveFile> hive_;
};

}  // namespace plovex
