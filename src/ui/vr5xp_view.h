#pragma once

#include <QAbstractScrollArea>
#include <QImage>

#include "page/page_drawing.h"

namespace vr5 {

class CVR5XPDoc;
struct ProgramState;

// The report view: the open report's page at true size on the screen, scrollable, or the start
// picture when nothing is open.
class CVR5XPView : public QAbstractScrollArea {
    Q_OBJECT
public:
    CVR5XPView(CVR5XPDoc& doc, ProgramState& state, QWidget* parent = nullptr);

    const PageDrawing& drawing() const { return drawing_; }
    // Screen pixels per page unit.
    double scale() const;

Q_SIGNALS:
    // A report was (re)loaded and has been painted: the search-range box goes back to 100%.
    void resetRangeRequested();
    void painted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    void updateScrollBars();
    QPoint pageOrigin() const;

    CVR5XPDoc& doc_;
    ProgramState& state_;
    PageDrawing drawing_;
    QImage startPicture_;
    QImage startPicture2x_;  // for screens scaled to 150% and more
};

}  // namespace vr5
