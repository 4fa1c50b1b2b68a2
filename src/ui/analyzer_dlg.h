#pragma once

#include <QDialog>
#include <functional>

#include "page/analyzer.h"

class QLabel;
class QPushButton;
class QSlider;

namespace vr5 {

class CVR5XPDoc;

// The Analyzer: two sliders over the open report's data points. Every move shows the new points
// on the report page (the document's analyzer view) so the view repaints as the slider goes.
class CDlgAnalyzer : public QDialog {
    Q_OBJECT
public:
    // `print` prints the report page, which shows the analyzer layout while this is open.
    CDlgAnalyzer(CVR5XPDoc& doc, std::function<void()> print, QWidget* parent = nullptr);

    const AnalyzerModel& model() const { return model_; }
    QSlider* slider1() const { return slider1_; }
    QSlider* slider2() const { return slider2_; }
    QLabel* label1() const { return label1_; }
    QLabel* label2() const { return label2_; }
    QPushButton* printButton() const { return print_; }

protected:
    // Enter closes the Analyzer as Escape does, wherever the focus is.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void slider1Changed(int position);
    void slider2Changed(int position);
    void publish();

    CVR5XPDoc& doc_;
    std::function<void()> printPage_;
    AnalyzerModel model_;
    QSlider* slider1_;
    QSlider* slider2_;
    QLabel* label1_;
    QLabel* label2_;
    QPushButton* print_;
    int shown1_ = 0;  // the points the page shows
    int shown2_ = 0;
};

// The Analyze command: the page switches to the analyzer layout for points 1 and N, the
// Analyzer runs modally, and the report page comes back when it closes. Does nothing without
// a report. A report of fewer than two data points gets an Analyzer whose sliders cannot move.
void runAnalyzer(CVR5XPDoc& doc, QWidget* parent, std::function<void()> print);

}  // namespace vr5
