#include "settings/panel/tup_down.h"

#include <QKeyEvent>
#include <QVBoxLayout>

#include "core/int_text.h"

namespace plovex {

TUpDown::TUpDown(QLineEdit* buddy, UpDownRange range, QWidget* parent)
    : QWidget(parent), buddy_(buddy), range_(range), position_(range.min) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  up_ = new QToolButton(this);
  up_->setObjectName("up");
  up_->setArrowType(Qt::UpArrow);
  up_->setAutoRepeat(true);
  down_ = new QToolButton(this);
  down_->setObjectName("down");
  down_->setArrowType(Qt::DownArrow);
  down_->setAutoRepeat(true);
  for (QToolButton* b : {up_, down_}) {
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(b);
  }
  connect(up_, &QToolButton::clicked, this, &TUpDown::StepUp);
  connect(down_, &QToolButton::clicked, this, &TUpDown::StepDown);
  buddy_->installEventFilter(this);
}

void TUpDown::SetPosition(std::int64_t position) {
  position_ = range_.Clamp(position);
  if (buddy_) buddy_->setText(QString::number(position_));
}

std::int16_t TUpDown::Position() const {
  if (!buddy_) return position_;
  const auto typed = TryStrToInt(buddy_->text().toStdString());
  if (typed && range_.Contains(*typed)) position_ = static_cast<std::int16_t>(*typed);
  return position_;
}

void TUpDown::StepUp() { SetPosition(range_.Step(Position(), +1)); }
void TUpDown::StepDown() { SetPosition(range_.Step(Position(), -1)); }

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == buddy_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up) {
      StepUp();
      return true;
    }
    if (key == Qt::Key_Down) {
      StepDown();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace plovex
