#include "shell/thistory_window.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <ctime>
#include <filesystem>

#include "base/posix_file.h"
#include "core/usage_graph.h"
#include "history/usage_csv.h"
#include "history/usage_line.h"
#include "history/usage_period.h"
#include "shell/timage.h"

namespace plovex {

namespace {

constexpr int kRefreshMilliseconds = 60 * 1000;

QString Q(const std::string& s) { return QString::fromStdString(s); }

QString KeyText(const UsageKey& key) { return Q(key.host + " \u2014 " + key.interface); }

void FillRows(QTableWidget* table, const std::vector<UsageRow>& rows,
              const std::function<QString(const UsageRow&)>& first) {
  table->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const UsageRow& row = rows[static_cast<std::size_t>(r)];
    const QString cells[] = {first(row), Q(FormatBytes(row.in_bytes)),
                             Q(FormatBytes(row.out_bytes)), Q(FormatBytes(row.total()))};
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table->setItem(r, c, item);
    }
  }
}

QTableWidget* Table(const char* name, const QString& first_column, QWidget* parent) {
  auto* table = new QTableWidget(0, 4, parent);
  table->setObjectName(name);
  table->setHorizontalHeaderLabels({first_column, "In", "Out", "Total"});
  table->verticalHeader()->setVisible(false);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  table->verticalHeader()->setDefaultSectionSize(18);
  return table;
}

}  // namespace

THistoryWindow::THistoryWindow(const TPlovexSettings& settings, std::string store_path, Font* font,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      s_(settings),
      path_(std::move(store_path)),
      font_(font),
      now_([] { return static_cast<std::int64_t>(std::time(nullptr)); }),
      graph_(kUsageGraphWidth, kUsageGraphHeight, kWhite) {
  setObjectName("HistoryWindow");
  setWindowTitle("Plovex History");
  // Closing it while the main window waits in the tray must not end Plovex.
  setAttribute(Qt::WA_QuitOnClose, false);

  cbHistoryKey = new QComboBox(this);
  cbHistoryKey->setObjectName("cbHistoryKey");
  cbHistoryKey->setVisible(false);
  tabHistoryView = new QTabBar(this);
  tabHistoryView->setObjectName("tabHistoryView");
  for (const char* view : {"Day", "Week", "Month", "Year"}) tabHistoryView->addTab(view);
  tabHistoryView->setExpanding(false);
  imgHistoryGraph = new TImage(graph_, this);
  imgHistoryGraph->setObjectName("imgHistoryGraph");
  lblHistoryStatus = new QLabel(this);
  lblHistoryStatus->setObjectName("lblHistoryStatus");
  lblHistoryStatus->setWordWrap(true);
  lblHistoryStatus->setVisible(false);
  pbHistoryCap = new QProgressBar(this);
  pbHistoryCap->setObjectName("pbHistoryCap");
  pbHistoryCap->setRange(0, 1000);
  pbHistoryCap->setTextVisible(true);
  lblHistoryCap = new QLabel(this);
  lblHistoryCap->setObjectName("lblHistoryCap");
  auto* tables = new QTabWidget(this);
  tables->setObjectName("tabHistoryTables");
  tblHistoryDays = Table("tblHistoryDays", "Day", tables);
  tblHistoryPeriods = Table("tblHistoryPeriods", "Period", tables);
  tables->addTab(tblHistoryDays, "Last 31 days");
  tables->addTab(tblHistoryPeriods, "Last 12 periods");
  btnHistoryExport = new QPushButton("Export to CSV\u2026", this);
  btnHistoryExport->setObjectName("btnHistoryExport");
  tmrHistory = new QTimer(this);
  tmrHistory->setObjectName("tmrHistory");
  tmrHistory->setInterval(kRefreshMilliseconds);

  tabHistoryView->setUsesScrollButtons(false);
  cbHistoryKey->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbHistoryKey->setMinimumContentsLength(20);
  auto* top = new QHBoxLayout;
  top->addWidget(tabHistoryView);
  top->addWidget(cbHistoryKey, 1);
  auto* cap = new QHBoxLayout;
  cap->addWidget(lblHistoryCap);
  cap->addWidget(pbHistoryCap, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(btnHistoryExport);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(imgHistoryGraph, 0, Qt::AlignHCenter);
  layout->addWidget(lblHistoryStatus);
  layout->addLayout(cap);
  layout->addWidget(tables, 1);
  layout->addLayout(bottom);
  resize(kUsageGraphWidth + 24, 620);

  choose_file_ = [this](const QString& suggested) -> std::optional<QString> {
    const QString chosen =
        QFileDialog::getSaveFileName(this, "Export to CSV", suggested, "CSV files (*.csv)");
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
  };
  warn_ = [this](const QString& message) { QMessageBox::critical(this, "Plovex", message); };

  connect(tabHistoryView, &QTabBar::currentChanged, this, [this] { Refresh(); });
  connect(cbHistoryKey, &QComboBox::currentIndexChanged, this, [this] {
    if (!refreshing_) Refresh();
  });
  connect(btnHistoryExport, &QPushButton::clicked, this, &THistoryWindow::btnHistoryExportClick);
  connect(tmrHistory, &QTimer::timeout, this, &THistoryWindow::Refresh);
}

THistoryWindow::~THistoryWindow() = default;

void THistoryWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  tmrHistory->start();
}

void THistoryWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  tmrHistory->stop();
}

UsageView THistoryWindow::View() const {
  return static_cast<UsageView>(std::max(0, tabHistoryView->currentIndex()));
}

UsageKey THistoryWindow::CurrentKey() const {
  return MakeUsageKey(s_.Ip, s_.Interface, s_.Oid1.Oid, s_.Oid2.Oid);
}

UsageKey THistoryWindow::ChosenKey() const {
  const QStringList key = cbHistoryKey->currentData().toStringList();
  if (key.size() != 2) return CurrentKey();
  return UsageKey{key[0].toStdString(), key[1].toStdString()};
}

void THistoryWindow::ShowKeys(const std::vector<UsageKey>& stored) {
  // The series being monitored first, the others as the store lists them.
  std::vector<UsageKey> keys{CurrentKey()};
  for (const UsageKey& k : stored) {
    if (k.host != keys[0].host || k.interface != keys[0].interface) keys.push_back(k);
  }
  const QString chosen = cbHistoryKey->currentText();
  refreshing_ = true;
  cbHistoryKey->clear();
  for (const UsageKey& k : keys) {
    cbHistoryKey->addItem(KeyText(k), QStringList{Q(k.host), Q(k.interface)});
  }
  cbHistoryKey->setCurrentIndex(std::max(0, cbHistoryKey->findText(chosen)));
  refreshing_ = false;
  cbHistoryKey->setVisible(keys.size() > 1);
  cbHistoryKey->setToolTip(cbHistoryKey->currentText());
}

void THistoryWindow::ShowStatus(const QString& text) {
  lblHistoryStatus->setText(text);
  lblHistoryStatus->setVisible(!text.isEmpty());
}

void THistoryWindow::Refresh() {
  const std::int64_t now = now_();
  std::error_code ec;
  const bool exists = std::filesystem::exists(path_, ec);
  // Nothing recorded yet reads as an empty store: the graph's frame, the
  // tables' dates, and the words that say why they are empty.
  Result<std::unique_ptr<UsageStore>> opened =
      exists ? UsageStore::Open(path_, true) : UsageStore::Open(":memory:");
  if (!opened.ok()) {
    ShowStatus("The usage history cannot be read: " + Q(opened.status().message()));
    return;
  }
  UsageStore& store = **opened;
  Result<std::vector<UsageKey>> keys = store.Keys();
  if (!keys.ok()) {
    ShowStatus("The usage history cannot be read: " + Q(keys.status().message()));
    return;
  }
  ShowKeys(*keys);
  const UsageKey key = ChosenKey();
  const Result<std::int64_t> cap = ParseCapBytes(s_.UsageCap);
  // As the recorder takes it: a day no month is sure to have counts from the 1st.
  const int reset_day = s_.UsageResetDay >= kFirstResetDay && s_.UsageResetDay <= kLastResetDay
                            ? s_.UsageResetDay
                            : kFirstResetDay;
  Result<UsageSeries> series = ReadSeries(store, key, View(), now);
  Result<UsageTables> tables = ReadTables(store, key, now, reset_day);
  Result<UsageReport> report = ReadUsage(store, key, now, reset_day, cap.ok() ? *cap : 0);
  for (const Status& status : {series.status(), tables.status(), report.status()}) {
    if (!status.ok()) {
      ShowStatus("The usage history cannot be read: " + Q(status.message()));
      return;
    }
  }
  series_ = std::move(*series);
  tables_ = std::move(*tables);
  shown_key_ = key;
  graph_ = DrawUsageGraph(*series_, s_, font_);
  imgHistoryGraph->update();
  ShowTables(*tables_);
  ShowCap(*report);
  if (!cap.ok()) lblHistoryCap->setText(Q(cap.status().message()));
  const bool any = std::any_of(keys->begin(), keys->end(), [&](const UsageKey& k) {
    return k.host == key.host && k.interface == key.interface;
  });
  ShowStatus(any ? QString() : QString("No history yet"));
  btnHistoryExport->setEnabled(any);
}

void THistoryWindow::ShowCap(const UsageReport& r) {
  const QString used = Q(FormatBytes(r.total()));
  if (r.cap_bytes <= 0) {
    lblHistoryCap->setText("This period " + used + ". No cap");
    pbHistoryCap->setVisible(false);
    return;
  }
  const std::int64_t permille =
      static_cast<std::int64_t>(static_cast<long double>(r.total()) * 1000 / r.cap_bytes);
  lblHistoryCap->setText("This period");
  pbHistoryCap->setVisible(true);
  pbHistoryCap->setValue(static_cast<int>(std::min<std::int64_t>(permille, 1000)));
  pbHistoryCap->setFormat(used + " of " + Q(FormatCap(r.cap_bytes)) +
                          QString(" (%1 %)").arg(static_cast<double>(permille) / 10, 0, 'f', 1) +
                          ", " + QString::number(r.days_left) + " days left");
}

void THistoryWindow::ShowTables(const UsageTables& t) {
  FillRows(tblHistoryDays, t.days, [](const UsageRow& r) { return Q(LocalDate(r.start)); });
  // A period ends the day before the next one begins.
  FillRows(tblHistoryPeriods, t.periods, [](const UsageRow& r) {
    return Q(LocalDate(r.start) + " \u2013 " + LocalDate(LocalDayStart(r.end - 1)));
  });
}

void THistoryWindow::btnHistoryExportClick() {
  static const char* const kViews[] = {"day", "week", "month", "year"};
  const QString name = QString("plovex-history-%1-%2.csv")
                           .arg(kViews[static_cast<int>(View())])
                           .arg(Q(LocalDate(now_())));
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (const std::optional<QString> path = choose_file_(folder + "/" + name)) ExportTo(*path);
}

bool THistoryWindow::ExportTo(const QString& path) {
  if (!series_ || !tables_) {
    warn_("There is no history to export yet.");
    return false;
  }
  const std::string file = path.toStdString();
  const Status written =
      ReplaceFileAtomically(file, UsageCsv(shown_key_, *series_, *tables_), ReplaceOptions{});
  if (!written.ok()) {
    warn_(Q("The history cannot be exported to " + file + ": " + written.message()));
    return false;
  }
  return true;
}

}  // namespace plovex
