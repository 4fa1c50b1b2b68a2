#include "setup/notes_page.h"

#include <algorithm>

#include "settings/settings_keys.h"

namespace vr5 {

QString NotesPage::prompt() {
    return QString::fromLatin1(kPromptLine1) + u'\n' + QString::fromLatin1(kPromptLine2);
}

void NotesPage::load() {
    notes = c_.settings.read(keys::Notes).left(kLength);
}

bool NotesPage::accept() {
    c_.settings.write(keys::Notes, notes.left(kLength));
    return true;
}

std::optional<NotesPage::Span> NotesPage::overflow(const QString& before, const QString& after) {
    const qsizetype excess = after.size() - kLength;
    if (excess <= 0) return std::nullopt;

    // What was inserted lies between the part both texts start with and the part both end with.
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head]) ++head;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const qsizetype insertedEnd = after.size() - tail;
    const qsizetype inserted = insertedEnd - head;

    // Drop the end of the insertion; a text that was too long already loses its end as well.
    Span drop;
    if (inserted >= excess) {
        drop = {insertedEnd - excess, excess};
    } else {
        drop = {kLength, excess};
    }
    // Never leave half of a character that takes two code units.
    if (drop.position > 0 && after[drop.position].isLowSurrogate()) {
        --drop.position;
        ++drop.length;
    }
    return drop;
}

}  // namespace vr5
