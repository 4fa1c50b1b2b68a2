#include "setup/operator_page.h"

#include <QStringList>

#include "app_info.h"
#include "settings/settings_keys.h"
#include "setup/typed_text.h"
#include "text/integer_field.h"
#include "text/number_text.h"

namespace vr5 {

void OperatorPage::load() {
    employeeId = leftWhole(c_.settings.read(keys::EmployeeId), kIdLength);
    jobNumber = leftWhole(c_.settings.read(keys::JobNumber), kJobLength);
    jointNumber = QString::number(c_.settings.read(keys::JointNumber, 1));
    focus_ = Box::None;
}

QString OperatorPage::forbiddenCharactersMessage() {
    QStringList characters;
    for (const char* c = kForbiddenCharacters; *c; ++c) characters << QString(QLatin1Char(*c));
    return QString::fromLatin1(kForbiddenMessage) + u'\n' + characters.join(u' ');
}

bool OperatorPage::hasForbiddenCharacter(const QString& text) {
    for (const char* c = kForbiddenCharacters; *c; ++c) {
        if (text.contains(QLatin1Char(*c))) return true;
    }
    return false;
}

bool OperatorPage::accept() {
    focus_ = Box::None;
    QString message;
    const std::optional<int> joint =
        readIntegerField(jointNumber, kLowestJoint, kHighestJoint, &message);
    if (!joint) {
        c_.prompter.show(message, QString::fromLatin1(kAppTitle), Prompter::Icon::Warning);
        focus_ = Box::Joint;
        return false;
    }

    const QString id = oneLine(leftWhole(employeeId, kIdLength));
    const QString job = oneLine(leftWhole(jobNumber, kJobLength));
    const bool badId = hasForbiddenCharacter(id);
    if (badId || hasForbiddenCharacter(job)) {
        c_.prompter.show(forbiddenCharactersMessage(), QString::fromLatin1(kForbiddenCaption),
                         Prompter::Icon::Error);
        focus_ = badId ? Box::Id : Box::Job;
        return false;
    }

    c_.settings.write(keys::EmployeeId, storedText(id));
    c_.settings.write(keys::JobNumber, storedText(job));
    c_.settings.write(keys::JointNumber, *joint);
    return true;
}

}  // namespace vr5
