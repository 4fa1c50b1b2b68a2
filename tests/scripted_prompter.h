#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "prompter.h"

namespace vr5::test {

// Answers every question with the next scripted answer (Cancel when none is left) and keeps
// what it was shown.
class ScriptedPrompter final : public Prompter {
public:
    struct Shown {
        QString text;
        QString caption;
        Icon icon;
    };

    void show(const QString& text, const QString& caption, Icon icon) override {
        shown << Shown{text, caption, icon};
        messages << text;
        captions << caption;
    }
    using Prompter::ask;
    Answer ask(const QString& text, const QString& caption, Buttons, Icon icon) override {
        shown << Shown{text, caption, icon};
        messages << text;
        captions << caption;
        return answers.isEmpty() ? answer : answers.takeFirst();
    }

    QList<Shown> shown;
    QStringList messages;
    QStringList captions;
    QList<Answer> answers;
    Answer answer = Answer::Cancel;
};

}  // namespace vr5::test
