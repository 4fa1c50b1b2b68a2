#pragma once

#include <QDialog>

#include "program_state.h"
#include "prompter.h"
#include "report/appended_notes.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vr5 {

class CVR5XPDoc;

// "Append Notes to Report": new text for the report's notes, with the characters still left
// counted down as it is typed. Enter starts a new line in the edit.
class CRemarks : public QDialog {
    Q_OBJECT
public:
    CRemarks(const QString& reportNotes, Prompter& prompter, QWidget* parent = nullptr);

    const RemarksModel& model() const { return model_; }
    QLabel* promptLabel() const { return prompt_; }
    QPlainTextEdit* editBox() const { return edit_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // OK and Cancel (Escape and the close box too) close only when the model says so.
    void accept() override;
    void reject() override;

private:
    void editChanged();

    RemarksModel model_;
    Prompter& prompter_;
    QLabel* prompt_;
    QPlainTextEdit* edit_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QString accepted_;  // the edit's text after the last change that fitted
};

// The Append Notes command for the main frame: the dialog over the report on show, then the
// report rewritten with the joined notes. True when the report was rewritten; the reload flag
// is then set, so that the view reads it again (ReloadIfFlagged).
bool runAppendNotes(CVR5XPDoc& doc, ProgramState& state, Prompter& prompter, QWidget* parent);

}  // namespace vr5
