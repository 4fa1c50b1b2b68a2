#pragma once

#include <QString>

namespace vr5 {

// How the logic talks to the operator: message boxes in the program, a scripted answerer in
// tests.
class Prompter {
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Prompter() = default;
    virtual void show(const QString& text, const QString& caption, Icon icon) = 0;
    virtual Answer ask(const QString& text, const QString& caption, Buttons buttons, Icon icon) = 0;
    Answer ask(const QString& text, const QString& caption, Buttons buttons) {
        return ask(text, caption, buttons, Icon::Question);
    }
};

}  // namespace vr5
