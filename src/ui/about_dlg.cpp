#include "ui/about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app_info.h"

namespace vr5 {

QString CAboutDlg::identificationText() {
    return QStringList{QString::fromUtf8(kAppTitle),    QString::fromUtf8(kVersionText),
                       QString::fromUtf8(kMakerNotice), QString::fromUtf8(kMakerName),
                       QString::fromUtf8(kMakerPhone),  QString::fromUtf8(kMakerWeb)}
        .join(u'\n');
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About VR5-XP"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap(QStringLiteral(":/vr5xp/icon.png"))
                        .scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    icon->setAlignment(Qt::AlignTop);

    auto* text = new QPlainTextEdit(identificationText(), this);
    text->setObjectName(QStringLiteral("identification"));
    text->setReadOnly(true);
    text->setFrameShape(QFrame::NoFrame);
    text->setBackgroundVisible(false);
    text->viewport()->setAutoFillBackground(false);
    const QFontMetrics fm(text->font());
    const int margins = 2 * static_cast<int>(text->document()->documentMargin()) + 4;
    text->setFixedSize(fm.horizontalAdvance(QString(28, u'M')), fm.lineSpacing() * 6 + margins);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace vr5
