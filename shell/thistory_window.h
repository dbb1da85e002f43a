#pragma once
// THistoryWindow: what the usage store holds, in a window of its own beside
// the main one: the last day, week, month or year as a graph (one view at a
// time, chosen on its tabs), this billing period's usage against the cap as
// a bar, the last 31 days and the last 12 periods as tables, and "Export to
// CSV…" of the view shown and the days.
//
// It shows the series of the host and interface being monitored; when the
// store holds others, a combo box offers them too. The colours, the key, the
// reset day and the cap are read from the settings record at every refresh,
// so an Apply shows at the next one.
//
// Reading: the store is opened read-only for each refresh (once a minute
// while the window is shown, and on each change of view or series) and closed again, so the
// recorder that writes it is never held up. A store that does not exist yet shows "No history yet";
// one that cannot be read (locked past the busy timeout, damaged) says so in the window and leaves
// the last figures shown.
//
// Export writes the whole file or nothing (a temporary file renamed over
// it); a failure is told in a message box and the file is left as it was.
//
// Ownership: the settings record is borrowed and outlives the window (the
// main window owns both). The clock, the file dialog and the message box are
// seams for tests.
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/plovex_settings.h"
#include "history/usage_series.h"
#include "image/font.h"
#include "image/surface.h"

namespace plovex {

class TImage;

class THistoryWindow : public QWidget {
  Q_OBJECT

 public:
  using Now = std::function<std::int64_t()>;
  // The file the export goes to, or nothing when the user cancelled.
  using FileChooser = std::function<std::optional<QString>(const QString& suggested)>;
  using Warner = std::function<void(const QString& message)>;

  THistoryWindow(const TPlovexSettings& settings, std::string store_path, Font* font,
                 QWidget* parent);
  ~THistoryWindow() override;

  void SetClock(Now now) { now_ = std::move(now); }
  void SetFileChooser(FileChooser choose) { choose_file_ = std::move(choose); }
  void SetWarner(Warner warn) { warn_ = std::move(warn); }

  // Reads the store again and redraws.
  void Refresh();
  // Writes the CSV to `path`; false (and told) when it cannot.
  bool ExportTo(const QString& path);

  const Surface& Graph() const { return graph_; }
  UsageView View() const;

 public slots:
  void btnHistoryExportClick();

 protected:
  // The minute's refresh runs only while the window is shown.
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void ShowKeys(const std::vector<UsageKey>& stored);
  void ShowCap(const UsageReport& report);
  void ShowTables(const UsageTables& tables);
  void ShowStatus(const QString& text);
  UsageKey CurrentKey() const;
  UsageKey ChosenKey() const;

  const TPlovexSettings& s_;
  std::string path_;
  Font* font_;
  Now now_;
  FileChooser choose_file_;
  Warner warn_;
  Surface graph_;
  // What the last good read gave, for the export.
  std::optional<UsageSeries> series_;
  std::optional<UsageTables> tables_;
  UsageKey shown_key_;
  bool refreshing_ = false;

  QComboBox* cbHistoryKey = nullptr;
  QTabBar* tabHistoryView = nullptr;
  TImage* imgHistoryGraph = nullptr;
  QLabel* lblHistoryStatus = nullptr;
  QProgressBar* pbHistoryCap = nullptr;
  QLabel* lblHistoryCap = nullptr;
  QTableWidget* tblHistoryDays = nullptr;
  QTableWidget* tblHistoryPeriods = nullptr;
  QPushButton* btnHistoryExport = nullptr;
  QTimer* tmrHistory = nullptr;
};

}  // namespace plovex
