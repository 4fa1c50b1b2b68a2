#include "ui/setup/heater_temp_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vr5 {

CHeaterTempDlg::CHeaterTempDlg(SetupContext context, QWidget* parent)
    : SetupPageDialog(QString::fromLatin1(HeaterTempPage::kCaption), parent, kShift),
      page_(context) {
    prompt_ = new QLabel(QString::fromLatin1(HeaterTempPage::kPrompt), this);
    prompt_->setWordWrap(true);
    // Two lines of about equal length.
    prompt_->setMinimumWidth(prompt_->fontMetrics().horizontalAdvance(prompt_->text()) / 2 + 40);
    temperature_ = new QLineEdit(this);
    temperature_->setMaximumWidth(temperature_->fontMetrics().averageCharWidth() * 14);
    body()->addWidget(prompt_);
    auto* row = new QHBoxLayout;
    row->addWidget(temperature_);
    row->addStretch(1);
    body()->addLayout(row);
    setKeyboardOrder({temperature_, nextButton(), backButton()});

    page_.load();
    temperature_->setText(page_.temperature);
}

bool CHeaterTempDlg::takeEntries() {
    page_.temperature = temperature_->text();
    return page_.accept();
}

}  // namespace vr5
