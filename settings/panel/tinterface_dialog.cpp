#include "settings/panel/tinterface_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace plovex {
namespace {

enum Column { kIndex, kName, kAlias, kType, kStatus, kSpeed, kWide, kIn, kOut, kColumns };

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TInterfaceDialog::TInterfaceDialog(InterfaceTable table, RateReader read_rates, QWidget* parent)
    : QDialog(parent), table_(std::move(table)), read_rates_(std::move(read_rates)) {
  setObjectName("TInterfaceDialog");
  setWindowTitle("Interfaces");
  lstInterfaces = new QTableWidget(this);
  lstInterfaces->setObjectName("lstInterfaces");
  lstInterfaces->setColumnCount(kColumns);
  lstInterfaces->setHorizontalHeaderLabels(
      {"Index", "Name", "Alias", "Type", "Status", "Speed", "64-bit", "In", "Out"});
  lstInterfaces->verticalHeader()->hide();
  lstInterfaces->setSelectionBehavior(QAbstractItemView::SelectRows);
  lstInterfaces->setSelectionMode(QAbstractItemView::SingleSelection);
  lstInterfaces->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lstInterfaces->horizontalHeader()->setStretchLastSection(true);
  lblInterfacesNote = new QLabel(
      "In is what the interface receives (for the internet line: down), out what it sends (up).",
      this);
  lblInterfacesNote->setObjectName("lblInterfacesNote");
  lblInterfacesNote->setWordWrap(true);
  btnChoose = new QPushButton("Choose", this);
  btnChoose->setObjectName("btnChoose");
  btnChoose->setDefault(true);
  btnCancel = new QPushButton("Cancel", this);
  btnCancel->setObjectName("btnCancel");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnChoose);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lstInterfaces);
  layout->addWidget(lblInterfacesNote);
  layout->addLayout(buttons);
  Fill();
  if (const auto row = PreselectedRow(table_)) lstInterfaces->selectRow(static_cast<int>(*row));
  resize(640, 300);

  connect(btnChoose, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(lstInterfaces, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
  rate_timer_ = new QTimer(this);
  rate_timer_->setSingleShot(true);
  connect(rate_timer_, &QTimer::timeout, this, &TInterfaceDialog::ReadRates);
  rate_timer_->start(1000);
}

void TInterfaceDialog::Fill() {
  lstInterfaces->setRowCount(static_cast<int>(table_.rows.size()));
  for (int i = 0; i < static_cast<int>(table_.rows.size()); ++i) {
    const InterfaceRow& r = table_.rows[i];
    const QString texts[kColumns] = {QString::number(r.index),
                                     Q(r.Name()),
                                     Q(r.alias),
                                     Q(InterfaceTypeText(r.type)),
                                     Q(InterfaceStatusText(r)),
                                     Q(SpeedText(r.speed_bps)),
                                     r.hc_counters ? "yes" : "no",
                                     Q(RowRateText(r.in_rate)),
                                     Q(RowRateText(r.out_rate))};
    for (int c = 0; c < kColumns; ++c) {
      auto* item = lstInterfaces->item(i, c);
      if (item == nullptr) {
        item = new QTableWidgetItem;
        lstInterfaces->setItem(i, c, item);
      }
      item->setText(texts[c]);
      if (c == kIndex || c == kSpeed || c == kIn || c == kOut) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
    }
  }
  lstInterfaces->resizeColumnsToContents();
}

void TInterfaceDialog::ReadRates() {
  rate_timer_->stop();
  if (read_rates_) read_rates_(table_);
  Fill();
}

std::optional<InterfaceRow> TInterfaceDialog::Selected() const {
  const QList<QTableWidgetSelectionRange> ranges = lstInterfaces->selectedRanges();
  if (ranges.isEmpty()) return std::nullopt;
  const int row = ranges.first().topRow();
  if (row < 0 || row >= static_cast<int>(table_.rows.size())) return std::nullopt;
  return table_.rows[row];
}

}  // namespace plovex
