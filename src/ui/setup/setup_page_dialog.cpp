#include "ui/setup/setup_page_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace vr5 {

SetupPageDialog::SetupPageDialog(const QString& caption, QWidget* parent, QPoint shift)
    : QDialog(parent), shift_(shift) {
    setWindowTitle(caption);
    setMinimumWidth(320);  // room for the caption and both buttons on every page
    auto* layout = new QVBoxLayout(this);
    body_ = new QVBoxLayout;
    layout->addLayout(body_);
    layout->addStretch(1);

    auto* buttons = buttons_ = new QDialogButtonBox(this);
    back_ = buttons->addButton(QStringLiteral("<< Back"), QDialogButtonBox::RejectRole);
    next_ = buttons->addButton(QStringLiteral("Next >>"), QDialogButtonBox::AcceptRole);
    back_->setAutoDefault(false);
    next_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QPushButton* SetupPageDialog::addClosingButton(const QString& text) {
    QPushButton* button = buttons_->addButton(text, QDialogButtonBox::RejectRole);
    button->setAutoDefault(false);
    return button;
}

void SetupPageDialog::accept() {
    if (takeEntries()) QDialog::accept();
}

void SetupPageDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (moved_ || shift_.isNull()) return;
    moved_ = true;
    // Once the window system has placed the page, move it on from there.
    QTimer::singleShot(0, this, [this] { move(pos() + shift_); });
}

QLineEdit* shortBox(QWidget* parent, int shownLength, int maxLength) {
    auto* box = new QLineEdit(parent);
    box->setMaxLength(maxLength);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(u'0') * (shownLength + 2) + 12);
    return box;
}

QLabel* labelFor(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

void setTabChain(std::initializer_list<QWidget*> widgets) {
    QWidget* previous = nullptr;
    for (QWidget* w : widgets) {
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

int selectedIndex(const QComboBox* box) {
    if (!box->isEditable()) return box->currentIndex();
    return box->findText(box->currentText(), Qt::MatchExactly);
}

void selectIndex(QComboBox* box, int index) {
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

}  // namespace vr5
