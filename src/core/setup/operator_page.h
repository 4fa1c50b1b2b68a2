#pragma once

#include <QString>

#include "setup/setup_context.h"

namespace vr5 {

// The Operator page: who fuses, for which job, and which joint of it this is.
class OperatorPage {
public:
    static constexpr int kIdLength = 20;
    static constexpr int kJobLength = 20;
    static constexpr int kLowestJoint = 1;
    static constexpr int kHighestJoint = 99999;
    static constexpr const char* kCaption = "Operator";
    static constexpr const char* kIdLabel = "ID #:";
    static constexpr const char* kJobLabel = "Job #:";
    static constexpr const char* kJointLabel = "Joint #:";
    // The ID and the job number become parts of report folder and file names.
    static constexpr const char* kForbiddenCharacters = "\\/:*?\"<>|";
    static constexpr const char* kForbiddenMessage =
        "ID # and Job # cannot contain any of the following characters:";
    static constexpr const char* kForbiddenCaption = "Error";

    // The box to put the focus back on after a refusal.
    enum class Box { None, Id, Job, Joint };

    explicit OperatorPage(SetupContext context) : c_(context) {}

    QString employeeId;
    QString jobNumber;
    QString jointNumber;  // as the box holds it

    // Reads the remembered values.
    void load();
    // "Next >>": checks the joint number, then the ID and job number for characters a file name
    // cannot hold. On a refusal the operator is told once, nothing is stored, focusBox() names
    // the box to correct and the page stays open.
    bool accept();
    Box focusBox() const { return focus_; }

    // The refusal of a forbidden character: the sentence, then the characters one blank apart.
    static QString forbiddenCharactersMessage();
    static bool hasForbiddenCharacter(const QString& text);

private:
    SetupContext c_;
    Box focus_ = Box::None;
};

}  // namespace vr5
