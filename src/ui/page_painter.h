#pragma once

#include <QImage>
#include <QPointF>

#include "page/page_drawing.h"

class QPainter;
class QFont;
class QPaintDevice;

namespace vr5 {

// Where the page lands on a device: device = origin + (x, -y) * scale.
struct PageTransform {
    double scale = 0.096;  // device pixels per page unit
    QPointF origin;

    static PageTransform forDpi(double dpi, QPointF origin = {}) { return {dpi / 1000.0, origin}; }
    QPointF map(PagePoint p) const { return {origin.x() + p.x * scale, origin.y() - p.y * scale}; }
};

// Makes the program's pictures (start picture, logo, icon) available; safe to call often.
void initUiResources();

// The pictures a page may hold.
struct PageImages {
    QImage logo;
};
const PageImages& pageImages();

// A font of a role, sized for a device at the given scale.
QFont pageFont(FontRole role, double scale, const QPaintDevice* device);

// The character measures the page layout needs, taken from the installed fonts.
PageMetrics measurePageMetrics();

// Replays a page drawing onto a painter. The only way a page reaches the screen, an image, a PDF
// or a printer.
void paintPage(QPainter& painter, const PageDrawing& drawing, const PageTransform& t,
               const PageImages& images = pageImages());

}  // namespace vr5
