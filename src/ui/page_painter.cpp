#include "ui/page_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>
#include <cmath>
#include <limits>

// The pictures are compiled into this static library; a static library's resources must be
// registered by hand.
static void registerPageResources() {
    Q_INIT_RESOURCE(vr5xp);
}

namespace vr5 {

void initUiResources() {
    static const bool once = (registerPageResources(), true);
    Q_UNUSED(once);
}

namespace {

QColor toColor(Rgb c) {
    return QColor((c >> 16) & 0xff, (c >> 8) & 0xff, c & 0xff);
}

// `hairline` is the width of the thinnest line: 0 (one device pixel) on paper and ordinary
// screens, one screen pixel on a scaled screen, where a device pixel would look too thin beside
// the text.
QPen toPen(const Pen& pen, double scale, double hairline) {
    QPen p(toColor(pen.color));
    const double width = pen.width * scale;
    // Anything thinner than a pixel is drawn one pixel wide, as the screen does.
    p.setWidthF(width < 1.0 ? hairline : width);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

// The classic average character width: lowercase letters and the blank weighted by how often
// they occur in English text (per thousand). Fonts that share Arial's advances give Arial's
// figure, whatever their own tables claim.
double weightedAverageWidth(const QFontMetricsF& fm) {
    static constexpr int kWeights[26] = {64, 14, 27, 35, 100, 20, 14, 42, 63, 3,  6, 35, 20,
                                         56, 56, 17, 4,  49,  56, 71, 31, 10, 18, 3, 18, 2};
    double sum = 166 * fm.horizontalAdvance(QLatin1Char(' '));
    for (int i = 0; i < 26; ++i)
        sum += kWeights[i] * fm.horizontalAdvance(QLatin1Char(char('a' + i)));
    return sum / 1000.0;
}

}  // namespace

// The logo is one bit per pixel with black first in its colour table, so that a PDF keeps it
// as a small, sharp bitmap instead of a large photograph.
static QImage loadLogo() {
    QImage logo = QImage(QStringLiteral(":/vr5xp/logo.png")).convertToFormat(QImage::Format_Mono);
    if (logo.isNull()) return logo;
    if (logo.colorTable().value(0) != qRgb(0, 0, 0)) {
        const QList<QRgb> table = logo.colorTable();
        logo.setColorTable({table.value(1), table.value(0)});
        logo.invertPixels();
    }
    return logo;
}

const PageImages& pageImages() {
    initUiResources();
    static const PageImages images{loadLogo()};
    return images;
}

QFont pageFont(FontRole role, double scale, const QPaintDevice* device) {
    const FontSpec face = fontSpec(role);
    QFont font(QString::fromLatin1(face.family));
    font.setBold(face.bold);
    font.setItalic(face.italic);
    const double pixels = face.heightInPageUnits() * scale;
    const int dpi = device ? device->logicalDpiY() : 96;
    font.setPointSizeF(std::max(0.1, pixels * 72.0 / dpi));
    return font;
}

PageMetrics measurePageMetrics() {
    auto metricsOf = [](FontRole role) {
        const FontSpec face = fontSpec(role);
        QFont font(QString::fromLatin1(face.family));
        font.setBold(face.bold);
        font.setPixelSize(face.heightInPageUnits());
        return QFontMetricsF(font);
    };
    const QFontMetricsF main = metricsOf(FontRole::Main);
    const QFontMetricsF small = metricsOf(FontRole::Small);
    PageMetrics m;
    m.cw = static_cast<int>(std::lround(weightedAverageWidth(main)));
    m.ch = static_cast<int>(std::lround(main.lineSpacing()));
    m.smallMaxWidth = static_cast<int>(std::lround(small.maxWidth()));
    m.smallCh = static_cast<int>(std::lround(small.lineSpacing()));
    return m;
}

void paintPage(QPainter& painter, const PageDrawing& drawing, const PageTransform& t,
               const PageImages& images) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QPaintDevice* device = painter.device();
    const double hairline = device && device->devicePixelRatioF() > 1.0 ? 1.0 : 0.0;

    // Fonts are made once per role for this device and scale.
    QFont fonts[kFontRoleCount];
    bool made[kFontRoleCount] = {};
    auto fontFor = [&](FontRole role) -> const QFont& {
        const int i = static_cast<int>(role);
        if (!made[i]) fonts[i] = pageFont(role, t.scale, device), made[i] = true;
        return fonts[i];
    };

    for (const PageItem& item : drawing.items) {
        if (const auto* line = std::get_if<LineItem>(&item)) {
            painter.setPen(toPen(line->pen, t.scale, hairline));
            painter.drawLine(t.map(line->from), t.map(line->to));
        } else if (const auto* frame = std::get_if<FrameItem>(&item)) {
            painter.setPen(toPen(frame->pen, t.scale, hairline));
            const PageRect& r = frame->rect;
            painter.drawRect(QRectF(t.map({r.left, r.top}), t.map({r.right, r.bottom})));
        } else if (const auto* poly = std::get_if<PolylineItem>(&item)) {
            painter.setPen(toPen(poly->pen, t.scale, hairline));
            QPolygonF points;
            points.reserve(static_cast<qsizetype>(poly->points.size()));
            for (const PagePoint& p : poly->points) points << t.map(p);
            painter.drawPolyline(points);
        } else if (const auto* text = std::get_if<TextItem>(&item)) {
            const QFont& font = fontFor(text->font);
            painter.setFont(font);
            painter.setPen(toColor(text->color));
            const QFontMetricsF fm(font, device);
            QPointF at = t.map(text->at);
            if (text->halign != HAlign::Left) {
                const double width = fm.horizontalAdvance(text->text);
                at.rx() -= text->halign == HAlign::Center ? width / 2 : width;
            }
            at.ry() += text->valign == VAlign::Top ? fm.ascent() : (fm.ascent() - fm.descent()) / 2;
            const double edge = text->rightEdge == kNoRightEdge
                                    ? std::numeric_limits<double>::infinity()
                                    : t.map({text->rightEdge, 0}).x();
            if (at.x() + fm.horizontalAdvance(text->text) > edge) {
                // Cut at the edge: whatever lies right of it belongs to the next column.
                painter.save();
                painter.setClipRect(QRectF(QPointF(at.x() - fm.height(), at.y() - 2 * fm.height()),
                                           QPointF(edge, at.y() + fm.height())),
                                    Qt::IntersectClip);
                painter.drawText(at, text->text);
                painter.restore();
            } else {
                painter.drawText(at, text->text);
            }
        } else if (const auto* bitmap = std::get_if<BitmapItem>(&item)) {
            QImage image = images.logo;
            if (image.isNull()) continue;  // a missing picture is left out
            // Black is the first colour of the logo's table: its dark pixels take the ink.
            if (bitmap->ink != kBlack && image.colorCount() > 0) {
                image.setColor(0, toColor(bitmap->ink).rgb());
            }
            const PageRect& r = bitmap->rect;
            const bool raster =
                painter.paintEngine() && painter.paintEngine()->type() != QPaintEngine::Pdf;
            painter.setRenderHint(QPainter::SmoothPixmapTransform, raster);
            painter.drawImage(QRectF(t.map({r.left, r.top}), t.map({r.right, r.bottom})), image);
        } else if (const auto* filled = std::get_if<FilledRectItem>(&item)) {
            const PageRect& r = filled->rect;
            painter.fillRect(QRectF(t.map({r.left, r.top}), t.map({r.right, r.bottom})),
                             toColor(filled->fill));
        }
    }
    painter.restore();
}

}  // namespace vr5
