#include "ui/setup/ready_to_log_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vr5 {

CReadyToLogDlg::CReadyToLogDlg(SetupContext context, QWidget* parent)
    : SetupPageDialog(QString::fromLatin1(ReadyPage::kCaption), parent, kShift), page_(context) {
    prompt_ = new QLabel(QString::fromLatin1(ReadyPage::kPrompt), this);
    prompt_->setWordWrap(true);
    prompt_->setMinimumWidth(prompt_->fontMetrics().averageCharWidth() * 52);
    logged_ = new QLabel(this);
    logged_->setTextFormat(Qt::PlainText);
    body()->addWidget(prompt_);
    body()->addSpacing(6);
    body()->addWidget(logged_);

    nextButton()->setText(QString::fromLatin1(ReadyPage::kStartButton));
    cancel_ = addClosingButton(QString::fromLatin1(ReadyPage::kCancelButton));
    // Raised before the button box closes the page, so the flag is set when the page returns.
    connect(cancel_, &QPushButton::clicked, this, [this] { page_.cancel(); });
    setKeyboardOrder({nextButton(), backButton(), cancel_});

    page_.load();
    logged_->setText(page_.loggedText());
}

}  // namespace vr5
