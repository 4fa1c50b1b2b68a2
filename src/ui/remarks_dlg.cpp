#include "ui/remarks_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "report/vr5xp_doc.h"

namespace vr5 {

CRemarks::CRemarks(const QString& reportNotes, Prompter& prompter, QWidget* parent)
    : QDialog(parent), model_(reportNotes), prompter_(prompter) {
    setWindowTitle(QString::fromUtf8(notes::kDialogCaption));

    prompt_ = new QLabel(model_.prompt(), this);
    edit_ = new QPlainTextEdit(this);
    edit_->setTabChangesFocus(true);
    edit_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QDialogButtonBox::Ok);
    cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRemarks::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRemarks::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(edit_, 1);
    layout->addWidget(buttons);

    // The window of 132 x 156 dialog units: a quarter and an eighth of the font's character box.
    const QFontMetrics metrics = fontMetrics();
    resize(metrics.averageCharWidth() * 132 / 4, metrics.height() * 156 / 8);

    connect(edit_, &QPlainTextEdit::textChanged, this, &CRemarks::editChanged);
    edit_->setFocus();
}

void CRemarks::editChanged() {
    const QString text = edit_->toPlainText();
    if (const auto drop = model_.overflow(accepted_, text)) {
        // Removing the overflow changes the text again and lands back here with a text that fits.
        QTextCursor cursor(edit_->document());
        cursor.setPosition(static_cast<int>(drop->position));
        cursor.setPosition(static_cast<int>(drop->position + drop->length),
                           QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        edit_->setTextCursor(cursor);
        return;
    }
    accepted_ = text;
    prompt_->setText(model_.promptFor(text));
}

void CRemarks::accept() {
    if (model_.accept(edit_->toPlainText(), prompter_) == RemarksModel::Close::Ok) {
        QDialog::accept();
    }
}

void CRemarks::reject() {
    if (model_.cancel(edit_->toPlainText(), prompter_) == RemarksModel::Close::Cancel) {
        QDialog::reject();
    }
}

bool runAppendNotes(CVR5XPDoc& doc, ProgramState& state, Prompter& prompter, QWidget* parent) {
    const RemarksRunner runDialog = [&prompter, parent](const QString& reportNotes) {
        CRemarks dialog(reportNotes, prompter, parent);
        std::optional<QString> joined;
        if (dialog.exec() == QDialog::Accepted && dialog.model().appended()) {
            joined = dialog.model().notes();
        }
        return joined;
    };
    return AppendNotes(doc, state, prompter, runDialog) == AppendNotesResult::Appended;
}

}  // namespace vr5
