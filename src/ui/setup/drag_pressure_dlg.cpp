#include "ui/setup/drag_pressure_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vr5 {

CDragPressureDlg::CDragPressureDlg(SetupContext context, QWidget* parent)
    : SetupPageDialog(QString(), parent, kShift), page_(context) {
    page_.load();
    setWindowTitle(page_.caption());

    prompt_ = new QLabel(DragPressurePage::prompt(), this);
    drag_ = new QLineEdit(this);
    drag_->setMaximumWidth(drag_->fontMetrics().averageCharWidth() * 14);
    body()->addWidget(prompt_);
    auto* row = new QHBoxLayout;
    row->addWidget(drag_);
    row->addStretch(1);
    body()->addLayout(row);
    setKeyboardOrder({drag_, nextButton(), backButton()});
    drag_->setText(page_.dragPressure);
}

bool CDragPressureDlg::takeEntries() {
    page_.dragPressure = drag_->text();
    if (page_.accept()) return true;
    // The default is put in the box; a second "Next >>" takes it.
    drag_->setText(page_.dragPressure);
    drag_->setFocus();
    drag_->selectAll();
    return false;
}

}  // namespace vr5
