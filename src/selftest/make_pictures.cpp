// tarvik-make-pictures FOLDER: draws the maker's logo (logo.jpg) and the signature (s.jpg)
// that the certificate places, and writes them as JPEG files into FOLDER. Run by the build.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

// A blue band with a white locator blade and three signal arcs: 200 x 38 points on the page.
QImage DrawLogo() {
    QImage image(600, 114, QImage::Format_RGB32);
    image.fill(QColor(0, 61, 122));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(40, 22, 18, 70); // the blade
    p.drawRect(20, 22, 58, 14); // the handle
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(QColor(255, 200, 0), 7));
        p.drawArc(QRectF(80 + i * 24, 30 - i * 10, 40 + i * 20, 55 + i * 20), -60 * 16, 120 * 16);
    }
    // Block letters T A R V I K, drawn as strokes so no font is needed.
    p.setPen(QPen(Qt::white, 11, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const double x = 220, top = 28, bottom = 88;
    p.drawLine(QPointF(x, top), QPointF(x + 48, top));
    p.drawLine(QPointF(x + 24, top), QPointF(x + 24, bottom));
    p.drawPolyline(QPolygonF({{x + 60, bottom}, {x + 84, top}, {x + 108, bottom}}));
    p.drawLine(QPointF(x + 70, bottom - 22), QPointF(x + 98, bottom - 22));
    p.drawPolyline(QPolygonF({{x + 122, bottom},
                              {x + 122, top},
                              {x + 152, top},
                              {x + 152, 58},
                              {x + 122, 58},
                              {x + 156, bottom}}));
    p.drawPolyline(QPolygonF({{x + 168, top}, {x + 192, bottom}, {x + 216, top}}));
    p.drawLine(QPointF(x + 232, top), QPointF(x + 232, bottom));
    p.drawLine(QPointF(x + 252, top), QPointF(x + 252, bottom));
    p.drawPolyline(QPolygonF({{x + 284, top}, {x + 254, 58}, {x + 286, bottom}}));
    return image;
}

// A handwritten-looking stroke in dark blue ink on white: 120 x 45 points on the page.
QImage DrawSignature() {
    QImage image(360, 135, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 30, 110), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath path(QPointF(20, 95));
    path.cubicTo(40, 10, 70, 10, 60, 100);
    path.cubicTo(55, 120, 95, 40, 110, 70);
    path.cubicTo(125, 100, 140, 30, 160, 60);
    path.cubicTo(175, 85, 190, 50, 205, 65);
    path.cubicTo(220, 80, 235, 35, 255, 62);
    path.cubicTo(270, 85, 300, 60, 340, 50);
    p.drawPath(path);
    p.drawLine(QPointF(30, 115), QPointF(320, 108));
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvik-make-pictures FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!DrawLogo().save(folder + "/logo.jpg", "JPEG", 90) ||
        !DrawSignature().save(folder + "/s.jpg", "JPEG", 90)) {
        std::fprintf(stderr, "tarvik-make-pictures: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
