#pragma once
// TStatusStrip: the band over the bottom of the picture that says what is
// wrong right now ("routr.lan: no such host") or, for a few seconds, what was
// just done ("Snapshot written to ..."). It is a widget of its own, laid over
// the picture: nothing of it reaches the picture's pixels, so the GIF files
// never carry it. Hidden while there is nothing to say. A click on it asks
// for the settings that mend the fault shown (Clicked).
#include <QLabel>
#include <QString>
#include <QTimer>

namespace plovex {

class TStatusStrip : public QLabel {
  Q_OBJECT

 public:
  // How long a notice stays before the fault (or nothing) shows again.
  static constexpr int kNoticeMs = 4000;

  explicit TStatusStrip(QWidget* picture);

  // The fault to show while it lasts; empty when there is none.
  void SetFault(const QString& text);
  // A passing notice, shown over any fault for kNoticeMs.
  void ShowNotice(const QString& text);
  // The notice ended (the timer's end; tests call it at once).
  void EndNotice();
  // What the strip shows now; empty when hidden.
  QString Shown() const { return isHidden() ? QString() : text(); }
  bool ShowsNotice() const { return notice_.isActive(); }

 signals:
  void Clicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Update();

  QString fault_;
  QString notice_text_;
  QTimer notice_;
};

}  // namespace plovex
