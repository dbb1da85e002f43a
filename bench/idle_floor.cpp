// The floor of any Qt traffic graph, for bench/idle_cost.sh to measure
// Plovex against: a Qt 6 window showing a 400 x 160 picture that scrolls one
// column to the right and repaints once a second, and a tray icon whose
// 16 x 16 image changes each second. Nothing else: no network, no files, no
// text, no settings. What Plovex costs beyond this is its own.
//
//   idle_floor [--period-ms N]     (default 1000)
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <cstring>

namespace {

class Picture : public QWidget {
 public:
  Picture() : image_(400, 160, QImage::Format_RGB32) {
    image_.fill(Qt::white);
    setFixedSize(image_.size());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle("Floor");
  }

  // One column of a bar whose height moves, as traffic would.
  void Step(int tick) {
    for (int y = 0; y < image_.height(); ++y) {
      auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
      std::memmove(row + 1, row, (image_.width() - 1) * sizeof(QRgb));
      const int height = 20 + (tick * 37) % 120;
      row[0] = y >= image_.height() - height ? qRgb(0, 128, 0) : qRgb(255, 255, 255);
    }
    update();
  }

  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, image_);
  }

 private:
  QImage image_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int period_ms = 1000;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--period-ms") == 0) period_ms = std::atoi(argv[i + 1]);

  Picture picture;
  picture.show();
  QSystemTrayIcon tray;
  tray.setIcon(QIcon(QPixmap::fromImage(picture.Image().copy(0, 144, 16, 16))));
  tray.show();

  int tick = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    picture.Step(++tick);
    tray.setIcon(QIcon(QPixmap::fromImage(picture.Image().copy(0, 144, 16, 16))));
  });
  timer.start(period_ms);
  return app.exec();
}
