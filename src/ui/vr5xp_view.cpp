#include "ui/vr5xp_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <cmath>

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
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setSingleStep(20);
    connect(&doc_, &CVR5XPDoc::changed, this, &CVR5XPView::rebuild);
    rebuild();
}

double CVR5XPView::scale() const {
    return logicalDpiX() / 1000.0;
}

void CVR5XPView::rebuild() {
    drawing_ = buildDocumentPage(doc_, Medium::Screen);
    updateScrollBars();
    viewport()->update();
}

void CVR5XPView::updateScrollBars() {
    if (!doc_.hasReport()) {
        horizontalScrollBar()->setRange(0, 0);
        verticalScrollBar()->setRange(0, 0);
        return;
    }
    const QSize page(static_cast<int>(std::lround(kPageWidth * scale())) + 2 * kMargin,
                     static_cast<int>(std::lround(kPageHeight * scale())) + 2 * kMargin);
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
    const int pageWidth = static_cast<int>(std::lround(kPageWidth * scale()));
    const int spare = viewport()->width() - pageWidth - 2 * kMargin;
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
        const QRect page(origin, QSize(static_cast<int>(std::lround(kPageWidth * scale())),
                                       static_cast<int>(std::lround(kPageHeight * scale()))));
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
