#include "ui/analyzer_dlg.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <utility>

#include "report/vr5xp_doc.h"

namespace vr5 {

namespace {

QSlider* pointSlider(const AnalyzerModel& model, int position, const QString& name,
                     QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(name);
    slider->setRange(model.first(), model.last());
    slider->setValue(position);
    slider->setSingleStep(1);
    slider->setFocusPolicy(Qt::StrongFocus);
    slider->setEnabled(model.canChoose());
    return slider;
}

}  // namespace

CDlgAnalyzer::CDlgAnalyzer(CVR5XPDoc& doc, std::function<void()> print, QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      printPage_(std::move(print)),
      model_(doc.hasReport() ? doc.record().sampleCount : 0) {
    setWindowTitle(QString::fromUtf8(str::kAnalyzerCaption));

    slider1_ = pointSlider(model_, model_.point1(), QStringLiteral("slider1"), this);
    slider2_ = pointSlider(model_, model_.point2(), QStringLiteral("slider2"), this);
    label1_ = new QLabel(AnalyzerModel::pointLabel(model_.point1()), this);
    label1_->setObjectName(QStringLiteral("label1"));
    label2_ = new QLabel(AnalyzerModel::pointLabel(model_.point2()), this);
    label2_->setObjectName(QStringLiteral("label2"));
    // Room for the largest point number, so the sliders do not shift as the labels change.
    const int labelWidth = fontMetrics().horizontalAdvance(QStringLiteral("#00000"));
    label1_->setMinimumWidth(labelWidth);
    label2_->setMinimumWidth(labelWidth);

    auto* instruction = new QLabel(QString::fromUtf8(str::kAnalyzerInstruction), this);
    print_ = new QPushButton(QString::fromUtf8(str::kAnalyzerPrint), this);
    print_->setObjectName(QStringLiteral("print"));
    // Enter closes the Analyzer; it never prints by accident.
    print_->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(label1_, 0, 0);
    layout->addWidget(slider1_, 0, 1, 1, 2);
    layout->addWidget(label2_, 1, 0);
    layout->addWidget(slider2_, 1, 1, 1, 2);
    layout->addWidget(instruction, 2, 0, 1, 2);
    layout->addWidget(print_, 2, 2, Qt::AlignRight);
    layout->setColumnStretch(1, 1);

    // Wide enough to show its whole caption, which tells how to move it off the plots.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle()) + 120);

    connect(slider1_, &QSlider::valueChanged, this, &CDlgAnalyzer::slider1Changed);
    connect(slider2_, &QSlider::valueChanged, this, &CDlgAnalyzer::slider2Changed);
    connect(print_, &QPushButton::clicked, this, [this] {
        if (printPage_) printPage_();
    });
    shown1_ = model_.point1();
    shown2_ = model_.point2();
}

void CDlgAnalyzer::slider1Changed(int position) {
    const int point = model_.movePoint1(position);
    if (point != position) {
        const QSignalBlocker block(slider1_);
        slider1_->setValue(point);
    }
    label1_->setText(AnalyzerModel::pointLabel(point));
    publish();
}

void CDlgAnalyzer::slider2Changed(int position) {
    const int point = model_.movePoint2(position);
    if (point != position) {
        const QSignalBlocker block(slider2_);
        slider2_->setValue(point);
    }
    label2_->setText(AnalyzerModel::pointLabel(point));
    publish();
}

void CDlgAnalyzer::publish() {
    // A slider held against the other one sends moves that change nothing: no new page.
    if (model_.point1() == shown1_ && model_.point2() == shown2_) return;
    shown1_ = model_.point1();
    shown2_ = model_.point2();
    if (doc_.hasReport()) doc_.setAnalyzer(analyzerView(doc_.record(), shown1_, shown2_));
}

void CDlgAnalyzer::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void runAnalyzer(CVR5XPDoc& doc, QWidget* parent, std::function<void()> print) {
    if (!doc.hasReport()) return;
    const AnalyzerModel opening(doc.record().sampleCount);
    doc.setAnalyzer(analyzerView(doc.record(), opening.point1(), opening.point2()));
    {
        CDlgAnalyzer dlg(doc, std::move(print), parent);
        dlg.adjustSize();
        // Over the foot of the window, where the page's third plot box stays empty, rather
        // than over the two plots it is about.
        if (parent) {
            const QRect frame = parent->window()->geometry();
            dlg.move(frame.center().x() - dlg.width() / 2,
                     std::max(frame.top(), frame.bottom() - dlg.height() - 48));
        }
        dlg.exec();
    }
    doc.setAnalyzer({});
}

}  // namespace vr5
