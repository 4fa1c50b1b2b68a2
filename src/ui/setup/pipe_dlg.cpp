#include "ui/setup/pipe_dlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "setup/pipe_catalogue.h"
#include "ui/setup/pipe_area_dlg.h"

namespace vr5 {

namespace {

// Size and wall boxes show this many characters ("2.375", "110.5").
constexpr int kShownSizeLength = 6;
// The size box takes any length (QLineEdit's own limit); its number is read from the front.
constexpr int kAnyLength = 32767;

}  // namespace

CPipeDlg::CPipeDlg(SetupContext context, QWidget* parent)
    : SetupPageDialog(QString::fromLatin1(PipePage::kCaption), parent),
      context_(context),
      page_(context) {
    material_ = new MaterialChooser(page_.material, this);

    size_ = shortBox(this, kShownSizeLength, kAnyLength);
    sizeUnit_ = new QComboBox(this);
    sizeUnit_->addItems(sizeSystemTexts());
    wall_ = shortBox(this, kShownSizeLength, PipePage::kWallLength);
    wallUnit_ = new QComboBox(this);
    wallUnit_->addItems(wallKindTexts());

    auto* grid = new QGridLayout;
    grid->setColumnStretch(3, 1);
    grid->addWidget(labelFor(QStringLiteral("Material:"), material_->list()), 0, 0);
    grid->addLayout(material_->makeRow(), 0, 1, 1, 3);
    grid->addWidget(labelFor(QStringLiteral("Size:"), size_), 1, 0);
    grid->addWidget(size_, 1, 1);
    grid->addWidget(sizeUnit_, 1, 2);
    grid->addWidget(labelFor(QStringLiteral("Wall Thickness:"), wall_), 2, 0);
    grid->addWidget(wall_, 2, 1);
    grid->addWidget(wallUnit_, 2, 2);
    body()->addLayout(grid);

    auto* pressures = new QGroupBox(QStringLiteral("Interfacial Pressures:"), this);
    auto* pressureRow = new QHBoxLayout(pressures);
    QLineEdit** boxes[] = {&bead_, &soak_, &fuse_, &cool_};
    const char* names[] = {"Bead:", "Soak:", "Fuse:", "Cool:"};
    for (int i = 0; i < 4; ++i) {
        *boxes[i] = shortBox(pressures, PipePage::kIfpLength, PipePage::kIfpLength);
        if (i > 0) pressureRow->addSpacing(12);
        pressureRow->addWidget(labelFor(QString::fromLatin1(names[i]), *boxes[i]));
        pressureRow->addWidget(*boxes[i]);
    }
    pressureRow->addStretch(1);
    body()->addWidget(pressures);

    pipeArea_ = new QPushButton(QString::fromLatin1(PipePage::kUnknownAreaCaption), this);
    pipeArea_->setAutoDefault(false);  // Enter stays "Next >>"
    auto* areaRow = new QHBoxLayout;
    areaRow->addWidget(pipeArea_);
    areaRow->addStretch(1);
    body()->addLayout(areaRow);

    setKeyboardOrder({material_->list(), material_->textBox(), size_, sizeUnit_, wall_, wallUnit_,
                      bead_, soak_, fuse_, cool_, pipeArea_, nextButton(), backButton()});

    page_.load();
    material_->display();
    size_->setText(page_.size);
    selectIndex(sizeUnit_, page_.sizeUnit);
    wall_->setText(page_.wall);
    selectIndex(wallUnit_, page_.wallUnit);
    bead_->setText(page_.heatIfp);
    soak_->setText(page_.soakIfp);
    fuse_->setText(page_.fuseIfp);
    cool_->setText(page_.coolIfp);
    pipeArea_->setText(page_.pipeAreaButtonCaption());
    pipeArea_->setVisible(page_.showsPipeAreaButton());

    connect(pipeArea_, &QPushButton::clicked, this, &CPipeDlg::runPipeAreaDialog);
}

void CPipeDlg::runPipeAreaDialog() {
    CPipeAreaDlg dialog(context_, this);
    if (dialog.exec() == QDialog::Accepted) pipeArea_->setText(page_.pipeAreaButtonCaption());
}

bool CPipeDlg::takeEntries() {
    material_->take();
    page_.size = size_->text();
    page_.sizeUnit = selectedIndex(sizeUnit_);
    page_.wall = wall_->text();
    page_.wallUnit = selectedIndex(wallUnit_);
    page_.heatIfp = bead_->text();
    page_.soakIfp = soak_->text();
    page_.fuseIfp = fuse_->text();
    page_.coolIfp = cool_->text();
    if (page_.accept()) return true;
    // The pressure that is no number gets the keyboard, ready to be typed over.
    QLineEdit* pressures[] = {bead_, soak_, fuse_, cool_};
    if (page_.refusedPressure >= 0 && page_.refusedPressure < 4)
        focusWithTextSelected(pressures[page_.refusedPressure]);
    return false;
}

}  // namespace vr5
