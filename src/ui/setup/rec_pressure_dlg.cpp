#include "ui/setup/rec_pressure_dlg.h"

#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vr5 {

CRecPressureDlg::CRecPressureDlg(SetupContext context, QWidget* parent)
    : SetupPageDialog(QString::fromLatin1(RecPressurePage::kCaption), parent, kShift),
      page_(context) {
    QFont font(QString::fromLatin1(RecPressurePage::kFontFamily));
    font.setPixelSize(RecPressurePage::kFontPixelSize);
    font.setBold(true);

    phases_ = new QLabel(RecPressurePage::phaseLabels(), this);
    pressures_ = new QLabel(this);
    for (QLabel* label : {phases_, pressures_}) {
        label->setFont(font);
        label->setTextFormat(Qt::PlainText);
    }
    phases_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pressures_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // Room for the longest usual pressure, a three-decimal MPa value.
    pressures_->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QStringLiteral("00.000")));

    auto* columns = new QHBoxLayout;
    columns->addStretch(1);
    columns->addWidget(phases_);
    columns->addSpacing(16);
    columns->addWidget(pressures_);
    columns->addStretch(1);
    body()->addLayout(columns);
    body()->addSpacing(12);
    setKeyboardOrder({nextButton(), backButton()});

    page_.load();
    pressures_->setText(page_.pressureLines());
}

}  // namespace vr5
