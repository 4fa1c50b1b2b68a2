#pragma once

#include <QAbstractScrollArea>
#include <QImage>

#include "page/page_drawing.h"

namespace vr5 {

class CVR5XPDoc;
struct ProgramState;

// The report view: the open report's page on the screen at its zoom (true size at 100 %),
// scrollable, or the start picture when nothing is open.
class CVR5XPView : public QAbstractScrollArea {
    Q_OBJECT
public:
    CVR5XPView(CVR5XPDoc& doc, ProgramState& state, QWidget* parent = nullptr);

    const PageDrawing& drawing() const { return drawing_; }
    // Screen pixels per page unit, at the zoom shown.
    double scale() const;
    // Screen pixels per page unit at true size.
    double trueScale() const;

    // The zoom in percent of true size (50..400).
    int zoom() const { return zoom_; }
    // Shows the page at `percent` (held within 50..400), keeping the same part of it in view.
    void setZoom(int percent);
    // The zoom at which the page's width fills the view.
    int fitWidthZoom() const;
    // Scrolls to the page's top-left corner.
    void showTop();

Q_SIGNALS:
    // A report was (re)loaded and has been painted: the search-range box goes back to 100%.
    void resetRangeRequested();
    void painted();
    // The zoom changed (a command, Ctrl+wheel).
    void zoomChanged(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void rebuild();
    void updateScrollBars();
    QPoint pageOrigin() const;
    QSize pageSize() const;

    CVR5XPDoc& doc_;
    ProgramState& state_;
    PageDrawing drawing_;
    QImage startPicture_;
    QImage startPicture2x_;  // for screens scaled to 150% and more
    int zoom_ = 100;
    int wheelAngle_ = 0;  // Ctrl+wheel turns not yet a whole step (touchpads send small ones)
    QString shownPath_;   // the file whose page is shown, to tell another document from a redraw
    bool shownReport_ = false;
};

}  // namespace vr5
