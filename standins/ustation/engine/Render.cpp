#include "Render.h"

#include <QFont>
#include <QPainter>
#include <QPen>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "ColorTable.h"
#include "ReferenceGeometry.h"
#include "Selection.h"
#include "TextGeometry.h"
#include "Views.h"
#include "core/Error.h"
#include "dgn/Attachments.h"
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

// Where UORs of a file show in view 1 of the master file, in master units: through the
// attachment's mapping for a reference, then turned by the view's rotation.
class ViewMapping {
public:
    ViewMapping(const dgn::DesignHeader& master, const dgn::Matrix3& rotation, Affine toMaster)
        : master_(master), rotation_(rotation), toMaster_(toMaster) {}

    QPointF operator()(const dgn::Vector3& uors) const {
        const dgn::Vector3 m = dgn::apply(toMaster_.matrix, uors);
        const dgn::Vector3 local{(m[0] + toMaster_.offset[0] - master_.origin[0]),
                                 (m[1] + toMaster_.offset[1] - master_.origin[1]),
                                 (m[2] + toMaster_.offset[2] - master_.origin[2])};
        const dgn::Vector3 seen = dgn::apply(rotation_, local);
        return {seen[0] / master_.uorPerMaster(), seen[1] / master_.uorPerMaster()};
    }
    QPointF operator()(const dgn::Point& p) const {
        return (*this)(dgn::Vector3{double(p.x), double(p.y), double(p.z)});
    }

private:
    const dgn::DesignHeader& master_;
    dgn::Matrix3 rotation_;
    Affine toMaster_;
};

// A text as it shows: its lower left corner, and its baseline and height turned and scaled
// like everything else of its file.
void placeText(Shape& shape, const dgn::TextBody& t, dgn::Dimension d, const ViewMapping& map) {
    const dgn::Matrix3 o = textOrientation(t, d);
    const dgn::Vector3 at{double(t.origin.x), double(t.origin.y), double(t.origin.z)};
    const double length = dgn::textSize(t.lengthMult);
    const double height = dgn::textSize(t.heightMult);
    const QPointF origin = map(at);
    const QPointF along =
        map(dgn::Vector3{at[0] + o[0] * length, at[1] + o[3] * length, at[2] + o[6] * length}) -
        origin;
    const QPointF up =
        map(dgn::Vector3{at[0] + o[1] * height, at[1] + o[4] * height, at[2] + o[7] * height}) -
        origin;
    shape.points = {origin};
    shape.text = QString::fromStdString(t.text);
    shape.width = std::hypot(along.x(), along.y());
    shape.height = std::hypot(up.x(), up.y());
    shape.angle = std::atan2(along.y(), along.x()) * 180.0 / std::numbers::pi;
}

std::optional<Shape> shapeOf(const dgn::Element& e, dgn::Dimension d, const ViewMapping& map) {
    Shape shape;
    shape.symbology = e.symbology;
    if (const auto* line = std::get_if<dgn::LineBody>(&e.body)) {
        shape.points = {map(line->start), map(line->end)};
    } else if (const auto* string = std::get_if<dgn::LineStringBody>(&e.body)) {
        for (const dgn::Point& p : string->vertices) shape.points.push_back(map(p));
    } else if (const auto* text = std::get_if<dgn::TextBody>(&e.body)) {
        placeText(shape, *text, d, map);
    } else {
        return std::nullopt;
    }
    return shape;
}

// The element at the position with its components, on the levels shown.
void addShapes(std::vector<Shape>& shapes, const dgn::DesignFile& file, const dgn::Record& head,
               const std::array<uint16_t, 4>& levels, const ViewMapping& map) {
    std::vector<const dgn::Record*> parts = file.components(head);
    parts.insert(parts.begin(), &head);
    for (const dgn::Record* part : parts) {
        if (part->element.deleted || !levelShown(levels, part->element.level)) continue;
        if (auto shape = shapeOf(part->element, file.dimension(), map)) {
            shapes.push_back(std::move(*shape));
        }
    }
}

// What the displayed references show in view 1; a reference that cannot be read shows nothing.
void addReferences(std::vector<Shape>& shapes, const dgn::DesignFile& master,
                   const dgn::Matrix3& rotation) {
    for (const dgn::StoredReference& r : dgn::references(master)) {
        if (!r.body.displayed()) continue;
        std::optional<dgn::DesignFile> file;
        try {
            file.emplace(dgn::DesignFile::open(dgn::referencePath(master, r.body)));
        } catch (const Error&) {
            continue;
        }
        const ViewMapping map(master.header(), rotation, referenceAffine(r.body));
        for (uint64_t position : shownElements(*file, r.body, 1)) {
            addShapes(shapes, *file, *file->at(position), r.body.viewLevels[0], map);
        }
    }
}

// Every live line, line string, shape and text on a level view 1 shows, components of text
// nodes and cells included, seen through view 1; then what the references show.
std::vector<Shape> shapesOf(const dgn::DesignFile& file) {
    dgn::ViewInfo view;
    view.levels = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    if (!file.isCellLibrary()) view = file.headerViews()[0];
    const dgn::Matrix3 rotation =
        file.dimension() == dgn::Dimension::Three ? rotationOf(view) : dgn::kIdentity;
    const ViewMapping map(file.header(), rotation, Affine{});
    std::vector<Shape> shapes;
    for (const dgn::Record& record : file.records()) {
        if (record.element.deleted || record.component || !isGraphic(record.element)) continue;
        addShapes(shapes, file, record, view.levels, map);
    }
    addReferences(shapes, file, rotation);
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

// The smallest text height, in pixels, drawn as letters.
constexpr double kLegiblePixels = 4;

void drawShape(QPainter& painter, const Shape& s, const Fit& fit, const ColorTable& colors) {
    QColor color = colors[static_cast<size_t>(s.symbology.color & 0xFF)];
    if (!s.isText()) {
        painter.setPen(QPen(color, 1 + s.symbology.weight, penStyle(s.symbology.style)));
        QPolygonF line;
        for (const QPointF& p : s.points) line << fit(p);
        painter.drawPolyline(line);
        return;
    }
    const double pixels = s.height * fit.scale();
    if (pixels < kLegiblePixels) {
        // Too small to read: a bar along its baseline, as CAD windows draw it. Shaping ten
        // thousand such texts would make a repaint cost more than the work it shows.
        const QPointF at = fit(s.points.front());
        QTransform place;
        place.translate(at.x(), at.y());
        place.rotate(-s.angle);
        painter.setPen(color);
        const double length = std::max(1.0, s.width * s.text.size() * fit.scale());
        painter.drawLine(place.map(QLineF(0, 0, length, 0)));
        return;
    }
    QFont font = painter.font();
    font.setPixelSize(std::max(1, static_cast<int>(pixels)));
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
