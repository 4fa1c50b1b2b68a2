#include "setup/notes_page.h"

#include <algorithm>

#include "settings/settings_keys.h"
#include "setup/typed_text.h"

namespace vr5 {

QString NotesPage::prompt() {
    return QString::fromLatin1(kPromptLine1) + u'\n' + QString::fromLatin1(kPromptLine2);
}

void NotesPage::load() {
    notes = leftWhole(c_.settings.read(keys::Notes), kLength);
}

bool NotesPage::accept() {
    c_.settings.write(keys::Notes, leftWhole(notes, kLength));
    return true;
}

std::optional<NotesPage::Span> NotesPage::overflow(const QString& before, const QString& after) {
    return overflowingPart(before, after, kLength);
}

}  // namespace vr5
