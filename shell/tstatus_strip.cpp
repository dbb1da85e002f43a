#include "shell/tstatus_strip.h"

#include <QMouseEvent>

namespace plovex {

TStatusStrip::TStatusStrip(QWidget* picture) : QLabel(picture) {
  setObjectName("StatusStrip");
  setWordWrap(true);
  setMargin(3);
  setAutoFillBackground(true);
  // Dark and opaque: the text must read over any colour the graph draws.
  setStyleSheet("QLabel { background: #303030; color: white; }");
  setCursor(Qt::PointingHandCursor);
  notice_.setSingleShot(true);
  connect(&notice_, &QTimer::timeout, this, &TStatusStrip::EndNotice);
  hide();
}

void TStatusStrip::SetFault(const QString& text) {
  fault_ = text;
  Update();
}

void TStatusStrip::ShowNotice(const QString& text) {
  notice_text_ = text;
  notice_.start(kNoticeMs);
  Update();
}

void TStatusStrip::EndNotice() {
  notice_.stop();
  notice_text_.clear();
  Update();
}

void TStatusStrip::Update() {
  const QString& shown = notice_text_.isEmpty() ? fault_ : notice_text_;
  setText(shown);
  setToolTip(notice_text_.isEmpty() && !fault_.isEmpty() ? "Click to open the settings to check"
                                                         : QString());
  if (shown.isEmpty()) {
    hide();
    return;
  }
  const QWidget* picture = parentWidget();
  const int height = heightForWidth(picture->width());
  setGeometry(0, picture->height() - height, picture->width(), height);
  show();
  raise();
}

void TStatusStrip::mousePressEvent(QMouseEvent* event) {
  // The press would otherwise reach the picture and start a window drag.
  event->accept();
  if (event->button() == Qt::LeftButton && notice_text_.isEmpty() && !fault_.isEmpty())
    emit Clicked();
}

}  // namespace plovex
