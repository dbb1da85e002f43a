#pragma once
// TInterfaceDialog: the list of the agent's interfaces that "Interfaces…" on
// the OID pages opens: index, name, alias, type, status, speed, 64-bit
// counters and the current rates, one row per interface, with the row to
// offer first (PreselectedRow) selected. Choose (or a double click) accepts
// the selected row; Cancel leaves everything as it was.
//
// The rates need a second reading: a second after it opens, the dialog calls
// `read_rates` once (which reads the counters again into the table) and shows
// them. Ownership: a Qt child of its parent; it holds its own copy of the
// table.
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <optional>

#include "core/interface_table.h"

namespace plovex {

class TInterfaceDialog : public QDialog {
  Q_OBJECT

 public:
  using RateReader = std::function<void(InterfaceTable&)>;

  TInterfaceDialog(InterfaceTable table, RateReader read_rates, QWidget* parent);

  // The row selected now, as the table holds it.
  std::optional<InterfaceRow> Selected() const;
  const InterfaceTable& Table() const { return table_; }

 public slots:
  // The second reading and the rates.
  void ReadRates();

 private:
  void Fill();

  InterfaceTable table_;
  RateReader read_rates_;
  QTableWidget* lstInterfaces = nullptr;
  QLabel* lblInterfacesNote = nullptr;
  QPushButton* btnChoose = nullptr;
  QPushButton* btnCancel = nullptr;
  QTimer* rate_timer_ = nullptr;
};

}  // namespace plovex
