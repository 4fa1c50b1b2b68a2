#include "ui/setup/material_chooser.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>

#include "setup/pipe_catalogue.h"
#include "setup/pipe_page.h"

namespace vr5 {

MaterialChooser::MaterialChooser(MaterialChoice& choice, QWidget* parent)
    : QObject(parent), choice_(choice) {
    list_ = new QComboBox(parent);
    list_->addItems(pipeMaterials());
    list_->setMaxVisibleItems(static_cast<int>(pipeMaterials().size()));
    text_ = new QLineEdit(parent);
    text_->setMaxLength(MaterialChoice::kTextLength);
    text_->setPlaceholderText(QStringLiteral("material"));
    text_->setMinimumWidth(text_->fontMetrics().averageCharWidth() * 26);
    // The page keeps its width whether or not the typed material is shown.
    QSizePolicy keep = text_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    text_->setSizePolicy(keep);
    connect(list_, &QComboBox::currentIndexChanged, this, [this](int index) {
        choice_.select(index);
        display();
    });
}

QHBoxLayout* MaterialChooser::makeRow() const {
    auto* row = new QHBoxLayout;
    row->addWidget(list_);
    row->addWidget(text_, 1);
    return row;
}

void MaterialChooser::display() {
    const QSignalBlocker block(list_);
    list_->setCurrentIndex(choice_.index);
    text_->setText(choice_.text);
    text_->setVisible(choice_.unlisted());
}

void MaterialChooser::take() {
    choice_.index = list_->currentIndex();
    choice_.text = text_->text();
}

}  // namespace vr5
