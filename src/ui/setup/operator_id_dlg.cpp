#include "ui/setup/operator_id_dlg.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace vr5 {

COperatorIDdlg::COperatorIDdlg(SetupContext context, QWidget* parent)
    : SetupPageDialog(QString::fromLatin1(OperatorPage::kCaption), parent), page_(context) {
    id_ = new QLineEdit(this);
    id_->setMaxLength(OperatorPage::kIdLength);
    job_ = new QLineEdit(this);
    job_->setMaxLength(OperatorPage::kJobLength);
    joint_ = new QLineEdit(this);
    joint_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), joint_));
    joint_->setMaximumWidth(90);

    // Wide enough to show twenty characters.
    const int width = id_->fontMetrics().averageCharWidth() * (OperatorPage::kIdLength + 4);
    id_->setMinimumWidth(width);
    job_->setMinimumWidth(width);
    auto* form = new QFormLayout;
    form->addRow(QString::fromLatin1(OperatorPage::kIdLabel), id_);
    form->addRow(QString::fromLatin1(OperatorPage::kJobLabel), job_);
    form->addRow(QString::fromLatin1(OperatorPage::kJointLabel), joint_);
    body()->addLayout(form);
    setKeyboardOrder({id_, job_, joint_, nextButton(), backButton()});

    page_.load();
    id_->setText(page_.employeeId);
    job_->setText(page_.jobNumber);
    joint_->setText(page_.jointNumber);
}

bool COperatorIDdlg::takeEntries() {
    page_.employeeId = id_->text();
    page_.jobNumber = job_->text();
    page_.jointNumber = joint_->text();
    if (page_.accept()) return true;
    QLineEdit* box = nullptr;
    switch (page_.focusBox()) {
        case OperatorPage::Box::Id:
            box = id_;
            break;
        case OperatorPage::Box::Job:
            box = job_;
            break;
        case OperatorPage::Box::Joint:
            box = joint_;
            break;
        case OperatorPage::Box::None:
            break;
    }
    if (box) {
        box->setFocus();
        box->selectAll();
    }
    return false;
}

}  // namespace vr5
