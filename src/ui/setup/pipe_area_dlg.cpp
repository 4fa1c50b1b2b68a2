#include "ui/setup/pipe_area_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "setup/machine_catalogue.h"
#include "ui/setup/setup_page_dialog.h"

namespace vr5 {

CPipeAreaDlg::CPipeAreaDlg(SetupContext context, QWidget* parent)
    : QDialog(parent), page_(context) {
    setWindowTitle(QString::fromLatin1(PipeAreaPage::kCaption));
    area_ = new QLineEdit(this);
    area_->setMaxLength(PipeAreaPage::kAreaLength);
    area_->setFixedWidth(area_->fontMetrics().horizontalAdvance(u'0') * 10 + 12);
    unit_ = new QComboBox(this);
    unit_->setEditable(true);
    // A unit typed and confirmed with Enter must not become a list entry of its own.
    unit_->setInsertPolicy(QComboBox::NoInsert);
    unit_->addItems(areaUnitTexts());
    unit_->setMinimumContentsLength(4);

    auto* label = new QLabel(QStringLiteral("Pipe Area:"), this);
    label->setBuddy(area_);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(area_);
    row->addWidget(unit_);
    row->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QDialogButtonBox::Ok);
    cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    ok_->setDefault(true);
    cancel_->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabChain({area_, unit_, ok_, cancel_});

    page_.load();
    area_->setText(page_.area);
    selectIndex(unit_, page_.unitIndex);
    // The operator types the area and presses Enter.
    focusWithTextSelected(area_);
}

void CPipeAreaDlg::accept() {
    page_.area = area_->text();
    page_.unitIndex = selectedIndex(unit_);
    if (page_.accept()) {
        QDialog::accept();
        return;
    }
    focusWithTextSelected(area_);
}

}  // namespace vr5
