// tarvik-make-icon FOLDER: draws the toolkit's icon into FOLDER as the freedesktop icon theme
// lays it out (hicolor/NxN/apps/NAME.png and hicolor/scalable/apps/NAME.svg). Run by the
// build; the pictures and the SVG come from one list of shapes, so they always agree.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr char kIconName[] = "example.tarvik.Toolkit";
constexpr double kCanvas = 256;
constexpr int kPixelSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

struct Shape {
    enum class Kind { RoundedRect, Rect, Line, Arc } kind;
    // RoundedRect and Rect: x, y, width, height (and corner radius); Line: x1, y1, x2, y2;
    // Arc: centre x, centre y, radius, from and to angle in degrees (counter-clockwise).
    double a, b, c, d, e;
    const char* colour;
    double strokeWidth = 0; // 0: filled
};

// A locator blade over a buried cable, with the signal rising from it, on the logo's blue.
const std::vector<Shape>& IconShapes() {
    static const std::vector<Shape> shapes = {
        {Shape::Kind::RoundedRect, 16, 16, 224, 224, 40, "#003d7a"},
        {Shape::Kind::Line, 48, 204, 208, 204, 0, "#f28c28", 18},
        {Shape::Kind::Arc, 128, 204, 46, 30, 150, "#ffc800", 14},
        {Shape::Kind::Arc, 128, 204, 82, 30, 150, "#ffc800", 14},
        {Shape::Kind::Arc, 128, 204, 118, 30, 150, "#ffc800", 14},
        {Shape::Kind::Rect, 114, 36, 28, 112, 0, "#ffffff"},
        {Shape::Kind::Rect, 88, 30, 80, 22, 0, "#ffffff"},
    };
    return shapes;
}

QPointF ArcPoint(const Shape& s, double degrees) {
    const double radians = degrees * std::numbers::pi / 180;
    return {s.a + s.c * std::cos(radians), s.b - s.c * std::sin(radians)};
}

QImage DrawPicture(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kCanvas, size / kCanvas);
    for (const Shape& s : IconShapes()) {
        const QColor colour(QString::fromLatin1(s.colour));
        if (s.strokeWidth > 0) {
            p.setPen(QPen(colour, s.strokeWidth, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
        }
        switch (s.kind) {
        case Shape::Kind::RoundedRect:
            p.drawRoundedRect(QRectF(s.a, s.b, s.c, s.d), s.e, s.e);
            break;
        case Shape::Kind::Rect:
            p.drawRect(QRectF(s.a, s.b, s.c, s.d));
            break;
        case Shape::Kind::Line:
            p.drawLine(QPointF(s.a, s.b), QPointF(s.c, s.d));
            break;
        case Shape::Kind::Arc: {
            QPainterPath arc(ArcPoint(s, s.d));
            arc.arcTo(QRectF(s.a - s.c, s.b - s.c, 2 * s.c, 2 * s.c), s.d, s.e - s.d);
            p.drawPath(arc);
            break;
        }
        }
    }
    return image;
}

QString SvgNumber(double value) {
    return QString::number(value, 'f', 2);
}

QString DrawSvg() {
    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" "
                                 "height=\"256\" viewBox=\"0 0 256 256\">\n");
    for (const Shape& s : IconShapes()) {
        const QString paint =
            s.strokeWidth > 0 ? QStringLiteral("fill=\"none\" stroke=\"%1\" stroke-width=\"%2\" "
                                               "stroke-linecap=\"round\"")
                                    .arg(QLatin1String(s.colour), SvgNumber(s.strokeWidth))
                              : QStringLiteral("fill=\"%1\"").arg(QLatin1String(s.colour));
        switch (s.kind) {
        case Shape::Kind::RoundedRect:
        case Shape::Kind::Rect:
            svg += QStringLiteral(
                       "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" %6/>\n")
                       .arg(SvgNumber(s.a), SvgNumber(s.b), SvgNumber(s.c), SvgNumber(s.d),
                            SvgNumber(s.kind == Shape::Kind::Rect ? 0 : s.e), paint);
            break;
        case Shape::Kind::Line:
            svg += QStringLiteral("  <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" %5/>\n")
                       .arg(SvgNumber(s.a), SvgNumber(s.b), SvgNumber(s.c), SvgNumber(s.d), paint);
            break;
        case Shape::Kind::Arc: {
            // From the first angle to the second over the top: clockwise on an SVG canvas.
            const QPointF from = ArcPoint(s, s.e);
            const QPointF to = ArcPoint(s, s.d);
            svg += QStringLiteral("  <path d=\"M %1 %2 A %3 %3 0 0 1 %4 %5\" %6/>\n")
                       .arg(SvgNumber(from.x()), SvgNumber(from.y()), SvgNumber(s.c),
                            SvgNumber(to.x()), SvgNumber(to.y()), paint);
            break;
        }
        }
    }
    return svg + QStringLiteral("</svg>\n");
}

bool WriteIcon(const QString& folder) {
    for (int size : kPixelSizes) {
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(folder).arg(size);
        if (!QDir().mkpath(dir) ||
            !DrawPicture(size).save(dir + QLatin1Char('/') + QLatin1String(kIconName) + ".png"))
            return false;
    }
    const QString dir = folder + QStringLiteral("/hicolor/scalable/apps");
    QFile svg(dir + QLatin1Char('/') + QLatin1String(kIconName) + ".svg");
    return QDir().mkpath(dir) && svg.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           svg.write(DrawSvg().toUtf8()) > 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvik-make-icon FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (!WriteIcon(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "tarvik-make-icon: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
