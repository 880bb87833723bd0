#include "Render.h"

#include <QFont>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <optional>
#include <vector>

#include "ColorTable.h"
#include "core/Error.h"
#include "dgn/DesignFile.h"

namespace vtl::ustation {

namespace {

constexpr int kMargin = 40;

// What is drawn of one element, in master units.
struct Shape {
    std::vector<QPointF> points;  // a polyline, or the origin of a text
    QString text;
    double height = 0;
    double width = 0;
    double angle = 0;  // degrees, counterclockwise
    dgn::Symbology symbology;
    bool isText() const { return !text.isNull(); }
};

QPointF master(const dgn::DesignHeader& header, const dgn::Point& p) {
    auto m = header.toMaster(p);
    return {m[0], m[1]};
}

std::optional<Shape> shapeOf(const dgn::Element& e, const dgn::DesignHeader& header) {
    Shape shape;
    shape.symbology = e.symbology;
    if (const auto* line = std::get_if<dgn::LineBody>(&e.body)) {
        shape.points = {master(header, line->start), master(header, line->end)};
    } else if (const auto* string = std::get_if<dgn::LineStringBody>(&e.body)) {
        for (const dgn::Point& p : string->vertices) shape.points.push_back(master(header, p));
    } else if (const auto* text = std::get_if<dgn::TextBody>(&e.body)) {
        shape.points = {master(header, text->origin)};
        shape.text = QString::fromStdString(text->text);
        shape.height = header.distanceToMaster(dgn::textSize(text->heightMult));
        shape.width = header.distanceToMaster(dgn::textSize(text->lengthMult));
        if (header.dimension == dgn::Dimension::Two) shape.angle = text->rotation / 360000.0;
    } else {
        return std::nullopt;
    }
    return shape;
}

// Every live line, line string, shape and text, components of text nodes and cells included.
std::vector<Shape> shapesOf(const dgn::DesignFile& file) {
    std::vector<Shape> shapes;
    for (const dgn::Record& record : file.records()) {
        if (record.element.deleted) continue;
        if (auto shape = shapeOf(record.element, file.header()))
            shapes.push_back(std::move(*shape));
    }
    return shapes;
}

// The smallest rectangle holding every point and text box; QRectF's union would skip the
// empty rectangles of single points.
QRectF boundsOf(const std::vector<Shape>& shapes) {
    std::optional<QPointF> low, high;
    auto take = [&](const QPointF& p) {
        low = low ? QPointF(std::min(low->x(), p.x()), std::min(low->y(), p.y())) : p;
        high = high ? QPointF(std::max(high->x(), p.x()), std::max(high->y(), p.y())) : p;
    };
    for (const Shape& s : shapes) {
        for (const QPointF& p : s.points) take(p);
        if (s.isText()) take(s.points.front() + QPointF(s.width * s.text.size(), s.height));
    }
    return low ? QRectF(*low, *high) : QRectF();
}

ColorTable colorsOf(const dgn::DesignFile& file) {
    for (const dgn::Record& record : file.records()) {
        const auto* table = std::get_if<dgn::ColorTableBody>(&record.element.body);
        if (!table || record.element.deleted) continue;
        // Stored with the background first, then colours 0 to 254.
        ColorTable colors;
        for (int i = 0; i < 256; ++i) {
            const dgn::Rgb& rgb = table->entries[static_cast<size_t>((i + 1) % 256)];
            colors[static_cast<size_t>(i)] = QColor(rgb.red, rgb.green, rgb.blue);
        }
        return colors;
    }
    return activeColorTable();
}

Qt::PenStyle penStyle(int style) {
    static const Qt::PenStyle styles[] = {Qt::SolidLine,      Qt::DotLine,     Qt::DashLine,
                                          Qt::DashLine,       Qt::DashDotLine, Qt::DashLine,
                                          Qt::DashDotDotLine, Qt::DashDotLine};
    return styles[style & 7];
}

// Master units to pixels: the drawing fitted into the picture, centred, y upwards.
class Fit {
public:
    Fit(const QRectF& bounds, QSize size) : bounds_(bounds), size_(size) {
        double w = std::max(bounds.width(), 1e-9);
        double h = std::max(bounds.height(), 1e-9);
        scale_ = std::min((size.width() - 2 * kMargin) / w, (size.height() - 2 * kMargin) / h);
        if (bounds.width() == 0 && bounds.height() == 0) scale_ = 1;
    }
    QPointF operator()(const QPointF& p) const {
        double x = (p.x() - bounds_.center().x()) * scale_ + size_.width() / 2.0;
        double y = size_.height() / 2.0 - (p.y() - bounds_.center().y()) * scale_;
        return {x, y};
    }
    double scale() const { return scale_; }

private:
    QRectF bounds_;
    QSize size_;
    double scale_ = 1;
};

void drawShape(QPainter& painter, const Shape& s, const Fit& fit, const ColorTable& colors) {
    QColor color = colors[static_cast<size_t>(s.symbology.color & 0xFF)];
    if (!s.isText()) {
        painter.setPen(QPen(color, 1 + s.symbology.weight, penStyle(s.symbology.style)));
        QPolygonF line;
        for (const QPointF& p : s.points) line << fit(p);
        painter.drawPolyline(line);
        return;
    }
    QFont font = painter.font();
    font.setPixelSize(std::max(1, static_cast<int>(s.height * fit.scale())));
    painter.setFont(font);
    painter.setPen(color);
    painter.save();
    painter.translate(fit(s.points.front()));
    painter.rotate(-s.angle);
    painter.drawText(QPointF(0, 0), s.text);
    painter.restore();
}

}  // namespace

namespace {

QImage blank(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

}  // namespace

QImage renderDesign(const dgn::DesignFile& file, QSize size) {
    QImage image = blank(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    std::vector<Shape> shapes = shapesOf(file);
    Fit fit(boundsOf(shapes), size);
    ColorTable colors = colorsOf(file);
    for (const Shape& s : shapes) drawShape(painter, s, fit, colors);
    return image;
}

QImage renderDesign(const std::string& designFile, QSize size) {
    // A file that cannot be read (deleted or replaced meanwhile) is shown as a message rather
    // than raised.
    std::optional<dgn::DesignFile> file;
    try {
        file.emplace(dgn::DesignFile::open(designFile));
    } catch (const Error& e) {
        QImage image = blank(size);
        QPainter painter(&image);
        painter.setPen(Qt::red);
        painter.drawText(image.rect().adjusted(kMargin, kMargin, -kMargin, -kMargin),
                         Qt::TextWordWrap, QString::fromStdString(e.description()));
        return image;
    }
    return renderDesign(*file, size);
}

}  // namespace vtl::ustation
