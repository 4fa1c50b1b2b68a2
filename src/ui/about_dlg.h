#pragma once

#include <QDialog>

namespace vr5 {

// "About VR5-XP": the program icon and the identification text.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Title, version and the maker's four lines, one per line.
    static QString identificationText();
};

}  // namespace vr5
