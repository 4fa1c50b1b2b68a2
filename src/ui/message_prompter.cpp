#include "ui/message_prompter.h"

#include <QMessageBox>
#include <cstdio>

#include "platform/termination.h"

namespace vr5 {

namespace {

QMessageBox::Icon toIcon(Prompter::Icon icon) {
    switch (icon) {
        case Prompter::Icon::Information:
            return QMessageBox::Information;
        case Prompter::Icon::Warning:
            return QMessageBox::Warning;
        case Prompter::Icon::Error:
            return QMessageBox::Critical;
        case Prompter::Icon::Question:
            return QMessageBox::Question;
        case Prompter::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void MessagePrompter::show(const QString& text, const QString& caption, Icon icon) {
    // The program is ending at the system's request: there may be nobody to close a box.
    if (terminationRequested()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        return;
    }
    QMessageBox box(toIcon(icon), caption, text, QMessageBox::Ok, parent_);
    box.exec();
}

Prompter::Answer MessagePrompter::ask(const QString& text, const QString& caption, Buttons buttons,
                                      Icon icon) {
    if (terminationRequested()) {
        if (buttons == Buttons::Ok) return Answer::Ok;
        return buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No;
    }
    QMessageBox::StandardButtons set;
    switch (buttons) {
        case Buttons::Ok:
            set = QMessageBox::Ok;
            break;
        case Buttons::OkCancel:
            set = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case Buttons::YesNo:
            set = QMessageBox::Yes | QMessageBox::No;
            break;
        case Buttons::YesNoCancel:
            set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
    }
    QMessageBox box(toIcon(icon), caption, text, set, parent_);
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

}  // namespace vr5
