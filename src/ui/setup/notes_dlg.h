#pragma once

#include "setup/notes_page.h"
#include "ui/setup/setup_page_dialog.h"

class QLabel;
class QPlainTextEdit;

namespace vr5 {

// The Notes page. Enter in the notes box starts a new line; elsewhere it is "Next >>".
class CNotesDlg : public SetupPageDialog {
    Q_OBJECT
public:
    CNotesDlg(SetupContext context, QWidget* parent = nullptr);

    NotesPage& page() { return page_; }
    QLabel* promptLabel() const { return prompt_; }
    QPlainTextEdit* notesBox() const { return notes_; }

protected:
    bool takeEntries() override;

private:
    void keepToLimit();

    NotesPage page_;
    QLabel* prompt_;
    QPlainTextEdit* notes_;
    QString accepted_;  // the box's text after the last change that fitted
};

}  // namespace vr5
