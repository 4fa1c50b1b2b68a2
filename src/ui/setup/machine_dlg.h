#pragma once

#include "setup/machine_page.h"
#include "ui/setup/setup_page_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace vr5 {

// The Machine page.
class CMachineDlg : public SetupPageDialog {
    Q_OBJECT
public:
    CMachineDlg(SetupContext context, QWidget* parent = nullptr);

    MachinePage& page() { return page_; }
    QLineEdit* idBox() const { return id_; }
    QComboBox* modelBox() const { return model_; }
    QLineEdit* modelTextBox() const { return modelText_; }
    QLabel* pistonAreaLabel() const { return areaLabel_; }
    QLineEdit* pistonAreaBox() const { return area_; }
    QComboBox* unitBox() const { return unit_; }

protected:
    bool takeEntries() override;

private:
    void display(const MachinePage& page);

    MachinePage page_;
    QLineEdit* id_;
    QComboBox* model_;
    QLineEdit* modelText_;
    QLabel* areaLabel_;
    QLineEdit* area_;
    QComboBox* unit_;
};

}  // namespace vr5
