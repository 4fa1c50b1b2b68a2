#pragma once

#include "setup/fitting_page.h"
#include "ui/setup/material_chooser.h"
#include "ui/setup/setup_page_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace vr5 {

// The Fitting page.
class CFittingSizeDlg : public SetupPageDialog {
    Q_OBJECT
public:
    CFittingSizeDlg(SetupContext context, QWidget* parent = nullptr);

    FittingPage& page() { return page_; }
    QComboBox* materialBox() const { return material_->list(); }
    QLineEdit* materialTextBox() const { return material_->textBox(); }
    QComboBox* typeBox() const { return type_; }
    QLineEdit* mainSizeBox() const { return mainSize_; }
    QComboBox* mainUnitBox() const { return mainUnit_; }
    QLabel* byLabel() const { return by_; }
    QLineEdit* outletSizeBox() const { return outletSize_; }
    QComboBox* outletUnitBox() const { return outletUnit_; }
    QLineEdit* beadBox() const { return bead_; }
    QLineEdit* fuseBox() const { return fuse_; }

protected:
    bool takeEntries() override;

private:
    FittingPage page_;
    MaterialChooser* material_;
    QComboBox* type_;
    QLineEdit* mainSize_;
    QComboBox* mainUnit_;
    QLabel* by_;
    QLineEdit* outletSize_;
    QComboBox* outletUnit_;
    QLineEdit* bead_;
    QLineEdit* fuse_;
};

}  // namespace vr5
