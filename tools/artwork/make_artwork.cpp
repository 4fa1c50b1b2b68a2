// Draws the program's pictures: the start picture, the paper logo and the program icon.
// Run once when the artwork changes; the results live in src/ui/resources, and the icon at the
// desktop's usual sizes in packaging/icons.
//   make_artwork OUTPUT_FOLDER [ICON_FOLDER]
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstdio>

namespace {

// Two pipe ends meeting at a fusion bead, centred on (cx, cy), `w` wide.
void drawJoint(QPainter& p, double cx, double cy, double w, const QBrush& pipe, const QBrush& bead,
               const QPen& pen) {
    const double h = w * 0.28;
    p.setPen(pen);
    p.setBrush(pipe);
    p.drawRoundedRect(QRectF(cx - w / 2, cy - h / 2, w / 2 - w * 0.03, h), h * 0.12, h * 0.12);
    p.drawRoundedRect(QRectF(cx + w * 0.03, cy - h / 2, w / 2 - w * 0.03, h), h * 0.12, h * 0.12);
    p.setBrush(bead);
    p.drawEllipse(QRectF(cx - w * 0.06, cy - h * 0.62, w * 0.12, h * 1.24));
}

// 240 by 268 screen pixels, drawn `ratio` times finer for scaled screens.
QImage startPicture(int ratio = 1) {
    QImage img(240 * ratio, 268 * ratio, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(ratio, ratio);
    QLinearGradient sky(0, 0, 0, 268);
    sky.setColorAt(0, QColor(28, 62, 112));
    sky.setColorAt(1, QColor(70, 130, 190));
    p.fillRect(QRect(0, 0, 240, 268), sky);

    QLinearGradient pipe(0, 120, 0, 170);
    pipe.setColorAt(0, QColor(60, 60, 60));
    pipe.setColorAt(0.4, QColor(20, 20, 20));
    pipe.setColorAt(1, QColor(5, 5, 5));
    drawJoint(p, 120, 140, 200, pipe, QColor(235, 160, 30), QPen(QColor(0, 0, 0), 1.5));

    // A pressure trace over the joint.
    p.setPen(QPen(QColor(255, 255, 255, 220), 2.5));
    QPainterPath trace;
    trace.moveTo(20, 100);
    trace.lineTo(45, 100);
    trace.lineTo(55, 60);
    trace.lineTo(80, 62);
    trace.lineTo(88, 95);
    trace.lineTo(120, 96);
    trace.lineTo(126, 100);
    trace.lineTo(136, 58);
    trace.lineTo(220, 60);
    p.setBrush(Qt::NoBrush);
    p.drawPath(trace);

    QFont title(QStringLiteral("Arial"));
    title.setBold(true);
    title.setPixelSize(34);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 14, 240, 40), Qt::AlignCenter, QStringLiteral("TARNELL"));
    QFont model = title;
    model.setPixelSize(26);
    p.setFont(model);
    p.setPen(QColor(245, 185, 60));
    p.drawText(QRect(0, 186, 240, 34), Qt::AlignCenter, QStringLiteral("VR5-XP"));
    QFont small(QStringLiteral("Arial"));
    small.setPixelSize(13);
    p.setFont(small);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 222, 240, 20), Qt::AlignCenter, QStringLiteral("Fusion Joint Data Logger"));
    p.drawText(QRect(0, 240, 240, 20), Qt::AlignCenter,
               QStringLiteral("Open a joint report to begin"));
    return img;
}

QImage logo() {
    QImage img(4037, 1476, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawJoint(p, 700, 600, 1100, Qt::black, Qt::white, QPen(Qt::black, 30));
    QFont word(QStringLiteral("Arial"));
    word.setBold(true);
    word.setPixelSize(520);
    p.setFont(word);
    p.setPen(Qt::black);
    p.drawText(QRect(1350, 170, 2650, 760), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("TARNELL"));
    p.fillRect(QRect(1370, 960, 2600, 40), Qt::black);
    QFont line(QStringLiteral("Arial"));
    line.setPixelSize(230);
    p.setFont(line);
    p.drawText(QRect(1350, 1030, 2650, 300), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Fusion Joint Records"));
    p.end();
    return img.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither | Qt::MonoOnly);
}

// Drawn on a 256-unit square, at `size` pixels: each size is drawn, not scaled from another.
QImage icon(int size = 256) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    p.setPen(QPen(QColor(20, 40, 80), 8));
    p.setBrush(QColor(40, 90, 160));
    p.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
    drawJoint(p, 128, 150, 200, QColor(20, 20, 20), QColor(245, 170, 40), QPen(Qt::black, 3));
    // The trace stays at least 1.4 pixels wide, so that it still reads at 16 pixels.
    p.setPen(QPen(Qt::white, std::max(10.0, 1.4 * 256 / size), Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath trace;
    trace.moveTo(30, 100);
    trace.lineTo(70, 100);
    trace.lineTo(90, 50);
    trace.lineTo(140, 52);
    trace.lineTo(155, 95);
    trace.lineTo(226, 96);
    p.drawPath(trace);
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make_artwork OUTPUT_FOLDER [ICON_FOLDER]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    bool ok = startPicture().save(out.filePath(QStringLiteral("start.png"))) &&
              startPicture(2).save(out.filePath(QStringLiteral("start@2x.png"))) &&
              logo().save(out.filePath(QStringLiteral("logo.png"))) &&
              icon().save(out.filePath(QStringLiteral("icon.png")));
    if (argc == 3) {
        const QDir icons(QString::fromLocal8Bit(argv[2]));
        for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
            ok = ok && icon(size).save(icons.filePath(QStringLiteral("vr5xp-%1.png").arg(size)));
        }
    }
    if (!ok) std::fprintf(stderr, "could not write the pictures\n");
    return ok ? 0 : 1;
}
