#pragma once

#include "setup/pipe_page.h"
#include "ui/setup/material_chooser.h"
#include "ui/setup/setup_page_dialog.h"

class QComboBox;
class QLineEdit;

namespace vr5 {

// The Pipe page.
class CPipeDlg : public SetupPageDialog {
    Q_OBJECT
public:
    CPipeDlg(SetupContext context, QWidget* parent = nullptr);

    PipePage& page() { return page_; }
    QComboBox* materialBox() const { return material_->list(); }
    QLineEdit* materialTextBox() const { return material_->textBox(); }
    QLineEdit* sizeBox() const { return size_; }
    QComboBox* sizeUnitBox() const { return sizeUnit_; }
    QLineEdit* wallBox() const { return wall_; }
    QComboBox* wallUnitBox() const { return wallUnit_; }
    QLineEdit* beadBox() const { return bead_; }
    QLineEdit* soakBox() const { return soak_; }
    QLineEdit* fuseBox() const { return fuse_; }
    QLineEdit* coolBox() const { return cool_; }
    QPushButton* pipeAreaButton() const { return pipeArea_; }

    // The Pipe Area button: runs the Pipe Area dialog and shows its area when confirmed.
    void runPipeAreaDialog();

protected:
    bool takeEntries() override;

private:
    SetupContext context_;
    PipePage page_;
    MaterialChooser* material_;
    QLineEdit* size_;
    QComboBox* sizeUnit_;
    QLineEdit* wall_;
    QComboBox* wallUnit_;
    QLineEdit* bead_;
    QLineEdit* soak_;
    QLineEdit* fuse_;
    QLineEdit* cool_;
    QPushButton* pipeArea_;
};

}  // namespace vr5
