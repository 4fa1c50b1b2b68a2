#include "ui/setup/notes_dlg.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace vr5 {

CNotesDlg::CNotesDlg(SetupContext context, QWidget* parent)
    : SetupPageDialog(QString::fromLatin1(NotesPage::kCaption), parent), page_(context) {
    prompt_ = new QLabel(NotesPage::prompt(), this);
    notes_ = new QPlainTextEdit(this);
    notes_->setTabChangesFocus(true);
    notes_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Room for the whole note: 80 characters on three or four lines.
    const QFontMetrics metrics = notes_->fontMetrics();
    notes_->setFixedHeight(metrics.lineSpacing() * 4 + 2 * notes_->frameWidth() +
                           2 * static_cast<int>(notes_->document()->documentMargin()));
    notes_->setMinimumWidth(metrics.averageCharWidth() * 34);
    body()->addWidget(prompt_);
    body()->addWidget(notes_);
    setKeyboardOrder({notes_, nextButton(), backButton()});

    page_.load();
    notes_->setPlainText(page_.notes);
    accepted_ = notes_->toPlainText();
    connect(notes_, &QPlainTextEdit::textChanged, this, &CNotesDlg::keepToLimit);
}

void CNotesDlg::keepToLimit() {
    const QString text = notes_->toPlainText();
    if (const auto drop = NotesPage::overflow(accepted_, text)) {
        // Removing the overflow changes the text again and lands back here with a text that fits.
        QTextCursor cursor(notes_->document());
        cursor.setPosition(static_cast<int>(drop->position));
        cursor.setPosition(static_cast<int>(drop->position + drop->length),
                           QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        notes_->setTextCursor(cursor);
        return;
    }
    accepted_ = text;
}

bool CNotesDlg::takeEntries() {
    page_.notes = notes_->toPlainText();
    return page_.accept();
}

}  // namespace vr5
