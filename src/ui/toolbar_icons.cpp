#include "ui/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace vr5 {

namespace {

constexpr int kRatio = 2;  // drawn at twice the size for sharp high-resolution screens

void drawGauge(QPainter& p) {
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(QColor(250, 250, 240));
    p.drawEllipse(QRectF(1.5, 1.5, 13, 12));
    p.setPen(QPen(QColor(200, 20, 20), 1.6));
    p.drawLine(QPointF(8, 8), QPointF(12, 4));
    p.setPen(QPen(Qt::black, 1));
    for (int i = 0; i < 5; ++i) {
        const double a = (200 - i * 55) * 3.14159 / 180;
        p.drawPoint(QPointF(8 + 5 * std::cos(a), 7.5 - 4.6 * std::sin(a)));
    }
}

void drawFolder(QPainter& p) {
    p.setPen(QPen(QColor(120, 90, 0), 1));
    p.setBrush(QColor(240, 200, 60));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(13.5, 5);
    back.lineTo(13.5, 12.5);
    back.lineTo(1.5, 12.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(255, 225, 110));
    QPainterPath front;
    front.moveTo(1.5, 12.5);
    front.lineTo(4, 7);
    front.lineTo(15, 7);
    front.lineTo(13.5, 12.5);
    front.closeSubpath();
    p.drawPath(front);
}

void drawPrinter(QPainter& p) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(QRectF(1.5, 6.5, 13, 5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 9.5, 7, 4));
    p.setPen(QColor(40, 160, 40));
    p.drawPoint(QPointF(13, 8));
}

void drawNotes(QPainter& p) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 1.5, 9, 12));
    p.setPen(QPen(QColor(60, 60, 160), 1));
    for (double y : {4.5, 6.5, 8.5}) p.drawLine(QPointF(4, y), QPointF(10, y));
    p.setPen(QPen(QColor(200, 120, 0), 2));
    p.drawLine(QPointF(8, 12), QPointF(14, 6));
}

void drawAbout(QPainter& p) {
    p.setPen(QPen(QColor(0, 60, 160), 1));
    p.setBrush(QColor(40, 110, 210));
    p.drawEllipse(QRectF(1.5, 1, 13, 13));
    p.setPen(Qt::white);
    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    p.drawText(QRectF(1.5, 1, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
}

}  // namespace

QIcon toolbarIcon(Command id) {
    QPixmap pixmap(16 * kRatio, 15 * kRatio);
    pixmap.setDevicePixelRatio(kRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (id) {
        case Command::LogStatus:
            drawGauge(p);
            break;
        case Command::Open:
            drawFolder(p);
            break;
        case Command::Print:
            drawPrinter(p);
            break;
        case Command::AppendNotes:
            drawNotes(p);
            break;
        case Command::About:
            drawAbout(p);
            break;
        default:
            break;
    }
    p.end();
    return QIcon(pixmap);
}

}  // namespace vr5
