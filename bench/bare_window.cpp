// The yardstick of the start-up and memory benchmarks: the least a Qt Widgets
// program showing the same window does. A frameless window of the main
// window's size painting one full-size PNG, decoded with QImage at start, and
// one line of text, so that loading a font counts here as it does in qvr.
// Run with QVR_EXIT_AFTER_FIRST_PAINT set, it reports its first paint as qvr
// does.
#include "gui/window/first_paint_exit.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cstdio>

namespace {

class Picture final : public QWidget {
  public:
    explicit Picture(QImage image) : image_(std::move(image)) {
        setWindowFlags(Qt::FramelessWindowHint);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(1000, 640);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, image_);
        painter.setPen(Qt::white);
        painter.drawText(QPoint(24, 40), QStringLiteral("Gaming mouse"));
    }

  private:
    QImage image_;
};

} // namespace

int main(int argc, char** argv) {
    qvr::markStartUpPhase("main");
    QApplication application(argc, argv);
    qvr::markStartUpPhase("QApplication");
    if (argc != 2) {
        std::fprintf(stderr, "Usage: qvr_bare_window IMAGE.png\n");
        return 2;
    }
    const QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull()) {
        std::fprintf(stderr, "qvr_bare_window: cannot decode %s\n", argv[1]);
        return 1;
    }
    qvr::markStartUpPhase("picture decoded");
    Picture window(image);
    qvr::exitAfterFirstPaintWhenAsked(window);
    window.show();
    qvr::markStartUpPhase("shown");
    return QApplication::exec();
}
