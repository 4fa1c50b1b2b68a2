#include "ui/setup/setup_page_dialog.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace vr5 {

SetupPageDialog::SetupPageDialog(const QString& caption, QWidget* parent, QPoint shift)
    : QDialog(parent), shift_(shift) {
    setWindowTitle(caption);
    fitCaption();
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

void SetupPageDialog::setKeyboardOrder(std::initializer_list<QWidget*> widgets) {
    setTabChain(widgets);
    first_ = widgets.size() > 0 ? *widgets.begin() : nullptr;
}

void SetupPageDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (moved_) return;
    moved_ = true;
    // Before the dialog picks a focus of its own ("Next >>", where typing goes nowhere).
    if (first_) focusWithTextSelected(first_);
    // Once the window system has placed the page, move it on from there.
    if (!shift_.isNull()) QTimer::singleShot(0, this, [this] { move(pos() + shift_); });
}

void SetupPageDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // A caption made as the page opens (Drag Pressure) needs room too.
    if (event->type() == QEvent::WindowTitleChange) fitCaption();
}

void SetupPageDialog::fitCaption() {
    // Room for the whole caption in the title bar, and for both buttons on every page.
    setMinimumWidth(std::max(320, titleBarWidth(windowTitle())));
}

QFont titleBarFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    const QFont own = QApplication::font();
    if (QFontInfo(font).pixelSize() < QFontInfo(own).pixelSize()) font = own;
    font.setBold(true);
    return font;
}

int titleBarWidth(const QString& caption) {
    return QFontMetrics(titleBarFont()).horizontalAdvance(caption) + kTitleBarButtonsRoom;
}

void focusWithTextSelected(QWidget* box) {
    box->setFocus(Qt::TabFocusReason);
    if (auto* combo = qobject_cast<QComboBox*>(box)) {
        if (combo->lineEdit()) combo->lineEdit()->selectAll();
    } else if (auto* line = qobject_cast<QLineEdit*>(box)) {
        line->selectAll();
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(box)) {
        text->selectAll();
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(box)) {
        spin->selectAll();
    }
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
