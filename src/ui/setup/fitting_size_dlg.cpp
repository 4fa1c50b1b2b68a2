#include "ui/setup/fitting_size_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "setup/fitting_catalogue.h"
#include "setup/pipe_catalogue.h"

namespace vr5 {

CFittingSizeDlg::CFittingSizeDlg(SetupContext context, QWidget* parent)
    : SetupPageDialog(QString::fromLatin1(FittingPage::kCaption), parent), page_(context) {
    material_ = new MaterialChooser(page_.material, this);
    type_ = new QComboBox(this);
    type_->addItems(fittingTypes());
    mainSize_ = shortBox(this, FittingPage::kSizeLength, FittingPage::kSizeLength);
    mainUnit_ = new QComboBox(this);
    mainUnit_->addItems(fittingSizeUnits());
    by_ = new QLabel(QStringLiteral("X"), this);
    outletSize_ = shortBox(this, FittingPage::kSizeLength, FittingPage::kSizeLength);
    outletUnit_ = new QComboBox(this);
    outletUnit_->addItems(fittingSizeUnits());

    auto* grid = new QGridLayout;
    grid->setColumnStretch(3, 1);
    grid->addWidget(labelFor(QStringLiteral("Material:"), material_->list()), 0, 0);
    grid->addLayout(material_->makeRow(), 0, 1, 1, 3);
    grid->addWidget(labelFor(QStringLiteral("Type:"), type_), 1, 0);
    grid->addWidget(type_, 1, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(labelFor(QStringLiteral("Size:"), mainSize_), 2, 0);
    grid->addWidget(mainSize_, 2, 1);
    grid->addWidget(mainUnit_, 2, 2);
    grid->addWidget(by_, 3, 1, Qt::AlignHCenter);
    grid->addWidget(outletSize_, 4, 1);
    grid->addWidget(outletUnit_, 4, 2);
    body()->addLayout(grid);

    auto* pressures = new QGroupBox(QStringLiteral("Pressures:"), this);
    bead_ = shortBox(pressures, FittingPage::kPressureLength, FittingPage::kPressureLength);
    fuse_ = shortBox(pressures, FittingPage::kPressureLength, FittingPage::kPressureLength);
    auto* pressureRow = new QHBoxLayout(pressures);
    pressureRow->addWidget(labelFor(QStringLiteral("Bead:"), bead_));
    pressureRow->addWidget(bead_);
    pressureRow->addSpacing(12);
    pressureRow->addWidget(labelFor(QStringLiteral("Fuse:"), fuse_));
    pressureRow->addWidget(fuse_);
    pressureRow->addStretch(1);
    body()->addWidget(pressures);

    setKeyboardOrder({material_->list(), material_->textBox(), type_, mainSize_, mainUnit_,
                      outletSize_, outletUnit_, bead_, fuse_, nextButton(), backButton()});

    page_.load();
    material_->display();
    selectIndex(type_, page_.typeIndex);
    mainSize_->setText(page_.mainSize);
    selectIndex(mainUnit_, page_.mainUnit);
    outletSize_->setText(page_.outletSize);
    selectIndex(outletUnit_, page_.outletUnit);
    bead_->setText(page_.beadPressure);
    fuse_->setText(page_.fusePressure);
}

bool CFittingSizeDlg::takeEntries() {
    material_->take();
    page_.typeIndex = type_->currentIndex();
    page_.mainSize = mainSize_->text();
    page_.mainUnit = mainUnit_->currentIndex();
    page_.outletSize = outletSize_->text();
    page_.outletUnit = outletUnit_->currentIndex();
    page_.beadPressure = bead_->text();
    page_.fusePressure = fuse_->text();
    return page_.accept();
}

}  // namespace vr5
