#include "setup/notes_page.h"

#include "settings/settings_keys.h"
#include "setup/typed_text.h"

namespace vr5 {

QString NotesPage::prompt() {
    return QString::fromLatin1(kPromptLine1) + u'\n' + QString::fromLatin1(kPromptLine2);
}

void NotesPage::load() {
    notes = notesAsShown(leftWholeNotes(notesAsStored(c_.settings.read(keys::Notes)), kLength));
}

bool NotesPage::accept() {
    c_.settings.write(keys::Notes, leftWholeNotes(notesAsStored(notes), kLength));
    return true;
}

std::optional<NotesPage::Span> NotesPage::overflow(const QString& before, const QString& after) {
    return notesOverflow(before, after, kLength);
}

}  // namespace vr5
