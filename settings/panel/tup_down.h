#pragma once
// TUpDown: an up-down control bound to the edit box on its left. It keeps its
// own 16-bit position inside a range; its two arrows, and the Up and Down keys
// in the edit box, step the position by one without wrapping, and every
// change of position, by the user or by the program, writes the position into
// the edit box as plain decimal digits.
//
// The edit box stays an ordinary edit: text typed into it is kept exactly as
// typed, also beyond the range (a Refresh of 5000 must survive). The position
// is read through the edit box: when it holds a number inside the range, that
// number is the position (and is kept as such); otherwise the position last
// read, stepped or set stands, so reading the position never fails.
//
// The edit box is not owned; both are children of the same page.
#include <QLineEdit>
#include <QPointer>
#include <QToolButton>
#include <QWidget>
#include <cstdint>

#include "settings/panel/panel_rules.h"

namespace plovex {

class TUpDown : public QWidget {
  Q_OBJECT

 public:
  TUpDown(QLineEdit* buddy, UpDownRange range, QWidget* parent);

  std::int16_t Position() const;
  // Clamps into the range and writes the edit box.
  void SetPosition(std::int64_t position);
  const UpDownRange& Range() const { return range_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void StepUp();
  void StepDown();

 private:
  QPointer<QLineEdit> buddy_;
  UpDownRange range_;
  mutable std::int16_t position_;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace plovex
