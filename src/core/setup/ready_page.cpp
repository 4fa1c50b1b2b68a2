#include "setup/ready_page.h"

#include "settings/settings_keys.h"

namespace vr5 {

void ReadyPage::load() {
    cancelled_ = false;
    loggedText_ = QStringLiteral("Logged ") + c_.settings.read(keys::HtrTemp);
}

}  // namespace vr5
