// Writes the program's icon from one description: a scalable SVG for the desktops that take
// one and PNG files of the usual theme sizes for those that do not. The picture is one of the
// exercise tiles' family: a blue tile with a chord and a pair of beamed eighths on a staff.
//
// Usage: make_icon <out folder> <name>
// Writes <out folder>/scalable/<name>.svg and <out folder>/<n>x<n>/<name>.png.
#include <cstdio>
#include <string>
#include <vector>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QTextStream>

namespace {

// The picture is drawn on a 256 by 256 canvas.
constexpr double kCanvas = 256.0;

struct Shape
{
    enum class Kind
    {
        Tile,    // a rounded square with a top-to-bottom gradient
        Line,    // a stroke from (x, y) to (x2, y2)
        Head,    // a filled ellipse of radii (w, h) round (x, y), turned by angle degrees
        Polygon, // a filled polygon through points
    };
    Kind kind;
    double x = 0, y = 0, x2 = 0, y2 = 0, w = 0, h = 0, angle = 0, radius = 0;
    QColor colour;
    QColor colour2 = {};
    std::vector<QPointF> points = {};
};

std::vector<Shape> Picture()
{
    const QColor white(0xFF, 0xFF, 0xFF);
    const QColor staffInk(0xFF, 0xFF, 0xFF, 0xC0);
    std::vector<Shape> shapes;
    shapes.push_back({Shape::Kind::Tile, 16, 16, 240, 240, 0, 0, 0, 44, QColor(0x3C, 0x7E, 0xDB),
                      QColor(0x1A, 0x47, 0x94)});
    // The staff: five lines 24 apart, the bottom one at 184.
    for (int line = 0; line < 5; ++line) {
        const double y = 184 - 24 * line;
        shapes.push_back({Shape::Kind::Line, 36, y, 220, y, 5, 0, 0, 0, staffInk});
    }
    // A triad on the three lower lines with one stem up.
    for (const double y : {184.0, 160.0, 136.0})
        shapes.push_back({Shape::Kind::Head, 104, y, 0, 0, 17, 12, -22, 0, white});
    shapes.push_back({Shape::Kind::Line, 118.5, 182, 118.5, 70, 7, 0, 0, 0, white});
    // Two eighths rising by a third, beamed.
    shapes.push_back({Shape::Kind::Head, 160, 172, 0, 0, 17, 12, -22, 0, white});
    shapes.push_back({Shape::Kind::Head, 200, 148, 0, 0, 17, 12, -22, 0, white});
    shapes.push_back({Shape::Kind::Line, 174.5, 170, 174.5, 84, 7, 0, 0, 0, white});
    shapes.push_back({Shape::Kind::Line, 214.5, 146, 214.5, 64, 7, 0, 0, 0, white});
    Shape beam{Shape::Kind::Polygon, 0, 0, 0, 0, 0, 0, 0, 0, white};
    beam.points = {{171, 86}, {218, 64}, {218, 82}, {171, 104}};
    shapes.push_back(beam);
    return shapes;
}

void Paint(QPainter& p, const std::vector<Shape>& shapes)
{
    p.setRenderHint(QPainter::Antialiasing);
    for (const Shape& s : shapes) {
        switch (s.kind) {
        case Shape::Kind::Tile: {
            QLinearGradient fill(0, s.y, 0, s.y2);
            fill.setColorAt(0, s.colour);
            fill.setColorAt(1, s.colour2);
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawRoundedRect(QRectF(QPointF(s.x, s.y), QPointF(s.x2, s.y2)), s.radius, s.radius);
            break;
        }
        case Shape::Kind::Line:
            p.setPen(QPen(s.colour, s.w, Qt::SolidLine, Qt::FlatCap));
            p.setBrush(Qt::NoBrush);
            p.drawLine(QPointF(s.x, s.y), QPointF(s.x2, s.y2));
            break;
        case Shape::Kind::Head:
            p.save();
            p.translate(s.x, s.y);
            p.rotate(s.angle);
            p.setPen(Qt::NoPen);
            p.setBrush(s.colour);
            p.drawEllipse(QPointF(0, 0), s.w, s.h);
            p.restore();
            break;
        case Shape::Kind::Polygon:
            p.setPen(Qt::NoPen);
            p.setBrush(s.colour);
            p.drawPolygon(QPolygonF(QList<QPointF>(s.points.begin(), s.points.end())));
            break;
        }
    }
}

QString Colour(const QColor& c)
{
    return c.name(QColor::HexRgb);
}

QString Opacity(const QColor& c, const char* attribute)
{
    if (c.alpha() == 255)
        return {};
    return QStringLiteral(" %1=\"%2\"")
        .arg(QString::fromLatin1(attribute))
        .arg(c.alphaF(), 0, 'f', 3);
}

QString Svg(const std::vector<Shape>& shapes)
{
    QString out;
    QTextStream svg(&out);
    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kCanvas << "\" height=\""
        << kCanvas << "\" viewBox=\"0 0 " << kCanvas << ' ' << kCanvas << "\">\n";
    int gradients = 0;
    for (const Shape& s : shapes) {
        switch (s.kind) {
        case Shape::Kind::Tile: {
            const QString id = QStringLiteral("tile%1").arg(++gradients);
            svg << "  <defs><linearGradient id=\"" << id << "\" gradientUnits=\"userSpaceOnUse\" "
                << "x1=\"0\" y1=\"" << s.y << "\" x2=\"0\" y2=\"" << s.y2 << "\">"
                << "<stop offset=\"0\" stop-color=\"" << Colour(s.colour) << "\"/>"
                << "<stop offset=\"1\" stop-color=\"" << Colour(s.colour2)
                << "\"/></linearGradient></defs>\n"
                << "  <rect x=\"" << s.x << "\" y=\"" << s.y << "\" width=\"" << s.x2 - s.x
                << "\" height=\"" << s.y2 - s.y << "\" rx=\"" << s.radius << "\" fill=\"url(#" << id
                << ")\"/>\n";
            break;
        }
        case Shape::Kind::Line:
            svg << "  <line x1=\"" << s.x << "\" y1=\"" << s.y << "\" x2=\"" << s.x2 << "\" y2=\""
                << s.y2 << "\" stroke=\"" << Colour(s.colour) << '"'
                << Opacity(s.colour, "stroke-opacity") << " stroke-width=\"" << s.w
                << "\" stroke-linecap=\"butt\"/>\n";
            break;
        case Shape::Kind::Head:
            svg << "  <ellipse cx=\"0\" cy=\"0\" rx=\"" << s.w << "\" ry=\"" << s.h
                << "\" transform=\"translate(" << s.x << ' ' << s.y << ") rotate(" << s.angle
                << ")\" fill=\"" << Colour(s.colour) << '"' << Opacity(s.colour, "fill-opacity")
                << "/>\n";
            break;
        case Shape::Kind::Polygon: {
            svg << "  <polygon points=\"";
            for (std::size_t i = 0; i < s.points.size(); ++i)
                svg << (i == 0 ? "" : " ") << s.points[i].x() << ',' << s.points[i].y();
            svg << "\" fill=\"" << Colour(s.colour) << '"' << Opacity(s.colour, "fill-opacity")
                << "/>\n";
            break;
        }
        }
    }
    svg << "</svg>\n";
    return out;
}

bool WriteText(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = text.toUtf8();
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icon <out folder> <name>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    const std::vector<Shape> shapes = Picture();

    const QString scalable = folder + QStringLiteral("/scalable");
    if (!QDir().mkpath(scalable) ||
        !WriteText(scalable + u'/' + name + QStringLiteral(".svg"), Svg(shapes))) {
        std::fprintf(stderr, "make_icon: cannot write the SVG icon in %s\n", argv[1]);
        return 1;
    }
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.scale(size / kCanvas, size / kCanvas);
            Paint(p, shapes);
        }
        const QString sized = folder + QStringLiteral("/%1x%1").arg(size);
        if (!QDir().mkpath(sized) ||
            !image.save(sized + u'/' + name + QStringLiteral(".png"), "PNG")) {
            std::fprintf(stderr, "make_icon: cannot write the %dx%d icon in %s\n", size, size,
                         argv[1]);
            return 1;
        }
    }
    return 0;
}
