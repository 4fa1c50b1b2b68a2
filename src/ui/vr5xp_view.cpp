#include "ui/vr5xp_view.h"

#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <cmath>

#include "page/zoom.h"
#include "program_state.h"
#include "report/vr5xp_doc.h"
#include "ui/page_output.h"
#include "ui/page_painter.h"

namespace vr5 {

namespace {
constexpr int kMargin = 12;  // screen pixels of grey around the page
const QColor kDeskColor(0xa0, 0xa0, 0xa0);
}  // namespace

CVR5XPView::CVR5XPView(CVR5XPDoc& doc, ProgramState& state, QWidget* parent)
    : QAbstractScrollArea(parent),
      doc_(doc),
      state_(state),
      startPicture_((initUiResources(), QImage(QStringLiteral(":/vr5xp/start.png")))),
      startPicture2x_(QStringLiteral(":/vr5xp/start@2x.png")) {
    startPicture2x_.setDevicePixelRatio(2.0);
    setFrameShape(QFrame::NoFrame);
    // The page takes the keys: Page Up/Down, Home and End scroll it without a click first.
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setSingleStep(20);
    connect(&doc_, &CVR5XPDoc::changed, this, &CVR5XPView::rebuild);
    rebuild();
}

double CVR5XPView::trueScale() const {
    return logicalDpiX() / 1000.0;
}

double CVR5XPView::scale() const {
    return trueScale() * zoom_ / 100.0;
}

QSize CVR5XPView::pageSize() const {
    return {static_cast<int>(std::lround(kPageWidth * scale())),
            static_cast<int>(std::lround(kPageHeight * scale()))};
}

void CVR5XPView::rebuild() {
    drawing_ = buildDocumentPage(doc_, Medium::Screen);
    updateScrollBars();
    // Another document starts at its top, wherever the last one was scrolled to; the same one
    // redrawn (another search range, the evaluation) stays where the reader is.
    if (doc_.hasReport() && (!shownReport_ || doc_.path() != shownPath_)) showTop();
    shownReport_ = doc_.hasReport();
    shownPath_ = doc_.path();
    viewport()->update();
}

void CVR5XPView::showTop() {
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void CVR5XPView::setZoom(int percent) {
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    if (percent == zoom_) return;
    // The same point of the page stays at the view's centre.
    auto fraction = [](const QScrollBar* bar) {
        const int whole = bar->maximum() + bar->pageStep();
        return whole > 0 ? (bar->value() + bar->pageStep() / 2.0) / whole : 0.0;
    };
    const double fx = fraction(horizontalScrollBar());
    const double fy = fraction(verticalScrollBar());
    zoom_ = percent;
    updateScrollBars();
    auto restore = [](QScrollBar* bar, double f) {
        const int whole = bar->maximum() + bar->pageStep();
        bar->setValue(static_cast<int>(std::lround(f * whole - bar->pageStep() / 2.0)));
    };
    restore(horizontalScrollBar(), fx);
    restore(verticalScrollBar(), fy);
    viewport()->update();
    Q_EMIT zoomChanged(zoom_);
}

int CVR5XPView::fitWidthZoom() const {
    // Room for the vertical scroll bar, which a page as wide as the view always has.
    int width = viewport()->width();
    if (!verticalScrollBar()->isVisible()) width -= verticalScrollBar()->sizeHint().width();
    return vr5::fitWidthZoom(width, kPageWidth * trueScale(), kMargin);
}

void CVR5XPView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    wheelAngle_ += event->angleDelta().y();
    // One notch of a mouse wheel is 120; a touchpad sends many small turns.
    while (wheelAngle_ >= 120) {
        setZoom(zoomIn(zoom_));
        wheelAngle_ -= 120;
    }
    while (wheelAngle_ <= -120) {
        setZoom(zoomOut(zoom_));
        wheelAngle_ += 120;
    }
}

void CVR5XPView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Home:
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
            if (event->modifiers() & Qt::ControlModifier) horizontalScrollBar()->setValue(0);
            return;
        case Qt::Key_End:
            verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
            return;
        default:
            QAbstractScrollArea::keyPressEvent(event);
    }
}

void CVR5XPView::updateScrollBars() {
    if (!doc_.hasReport()) {
        horizontalScrollBar()->setRange(0, 0);
        verticalScrollBar()->setRange(0, 0);
        return;
    }
    const QSize page = pageSize() + QSize(2 * kMargin, 2 * kMargin);
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, page.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, page.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
}

void CVR5XPView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

QPoint CVR5XPView::pageOrigin() const {
    const int spare = viewport()->width() - pageSize().width() - 2 * kMargin;
    const int x = kMargin + std::max(0, spare / 2) - horizontalScrollBar()->value();
    return {x, kMargin - verticalScrollBar()->value()};
}

void CVR5XPView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    if (!doc_.hasReport()) {
        painter.fillRect(event->rect(), Qt::white);
        const QImage& picture = devicePixelRatioF() >= 1.5 && !startPicture2x_.isNull()
                                    ? startPicture2x_
                                    : startPicture_;
        if (!picture.isNull()) {
            const QSize size = picture.size() / picture.devicePixelRatio();
            const QPoint at((viewport()->width() - size.width()) / 2,
                            (viewport()->height() - size.height()) / 2);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRect(at, size), picture);
        }
    } else {
        painter.fillRect(event->rect(), kDeskColor);
        const QPoint origin = pageOrigin();
        const QRect page(origin, pageSize());
        painter.fillRect(page, Qt::white);
        painter.setClipRect(page);
        paintPage(painter, drawing_, PageTransform{scale(), origin});
    }
    if (state_.resetRangeFlag) {
        state_.resetRangeFlag = false;
        QTimer::singleShot(0, this, &CVR5XPView::resetRangeRequested);
    }
    Q_EMIT painted();
}

}  // namespace vr5
