// The baseline of the window bench: a bare Qt window that shows one JPEG, decoded once, and
// prints "painted" on its first paint.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cstdio>
#include <iostream>

namespace {

class PictureWindow final : public QWidget {
 public:
  explicit PictureWindow(QImage picture) : picture_(std::move(picture)) {
    setFixedSize(picture_.size());
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).drawImage(0, 0, picture_);
    if (!painted_) {
      painted_ = true;
      std::cout << "painted" << std::endl;
    }
  }

 private:
  QImage picture_;
  bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_window_baseline PICTURE.jpg\n");
    return 2;
  }
  QImage picture(QString::fromLocal8Bit(argv[1]));
  if (picture.isNull()) {
    std::fprintf(stderr, "bench_window_baseline: cannot read %s\n", argv[1]);
    return 1;
  }
  PictureWindow window(std::move(picture));
  window.show();
  return QApplication::exec();
}
