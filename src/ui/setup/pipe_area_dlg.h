#pragma once

#include <QDialog>

#include "setup/pipe_area_page.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vr5 {

// The Pipe Area dialog, reached from the Pipe page of a direct-area machine: the fusion area
// the operator types instead of having it computed.
class CPipeAreaDlg : public QDialog {
    Q_OBJECT
public:
    CPipeAreaDlg(SetupContext context, QWidget* parent = nullptr);

    PipeAreaPage& page() { return page_; }
    QLineEdit* areaBox() const { return area_; }
    QComboBox* unitBox() const { return unit_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    void accept() override;

private:
    PipeAreaPage page_;
    QLineEdit* area_;
    QComboBox* unit_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace vr5
