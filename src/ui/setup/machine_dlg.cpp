#include "ui/setup/machine_dlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "setup/machine_catalogue.h"

namespace vr5 {

CMachineDlg::CMachineDlg(SetupContext context, QWidget* parent)
    : SetupPageDialog(QString::fromLatin1(MachinePage::kCaption), parent), page_(context) {
    id_ = new QLineEdit(this);
    id_->setMaxLength(MachinePage::kIdLength);
    model_ = new QComboBox(this);
    for (int i = 0; i < machineListSize(); ++i) model_->addItem(machineListName(i));
    model_->setMaxVisibleItems(20);
    modelText_ = new QLineEdit(this);
    modelText_->setMaxLength(MachinePage::kModelTextLength);
    modelText_->setPlaceholderText(QStringLiteral("model"));
    areaLabel_ = new QLabel(this);
    area_ = new QLineEdit(this);
    area_->setMaximumWidth(90);
    unit_ = new QComboBox(this);
    unit_->setEditable(true);
    unit_->setInsertPolicy(QComboBox::NoInsert);  // a typed unit is not one of the list's
    unit_->addItems(areaUnitTexts());
    unit_->setMaximumWidth(80);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("ID:"), id_);
    form->addRow(QStringLiteral("Model:"), model_);
    form->addRow(QString(), modelText_);
    auto* areaRow = new QHBoxLayout;
    areaRow->addWidget(areaLabel_);
    areaRow->addWidget(area_);
    areaRow->addWidget(unit_);
    areaRow->addStretch(1);
    form->addRow(areaRow);
    body()->addLayout(form);
    setKeyboardOrder({id_, model_, modelText_, area_, unit_, nextButton(), backButton()});

    page_.load();
    display(page_);
    connect(model_, &QComboBox::currentIndexChanged, this, [this](int index) {
        page_.machineId = id_->text();  // what was typed so far stays
        page_.selectModel(index);
        display(page_);
    });
}

void CMachineDlg::display(const MachinePage& page) {
    const QSignalBlocker block(model_);
    id_->setText(page.machineId);
    model_->setCurrentIndex(page.modelIndex);
    modelText_->setText(page.modelText);
    area_->setText(page.pistonArea);
    selectIndex(unit_, page.pistonAreaUnit);
    areaLabel_->setText(page.pistonAreaLabel());
    const bool typed = page.typedMode();
    modelText_->setVisible(typed);
    area_->setVisible(typed);
    unit_->setVisible(typed);
}

bool CMachineDlg::takeEntries() {
    page_.machineId = id_->text();
    page_.modelIndex = model_->currentIndex();
    page_.modelText = modelText_->text();
    page_.pistonArea = area_->text();
    page_.pistonAreaUnit = selectedIndex(unit_);
    if (page_.accept()) return true;
    // Only a typed piston area is refused.
    focusWithTextSelected(area_);
    return false;
}

}  // namespace vr5
