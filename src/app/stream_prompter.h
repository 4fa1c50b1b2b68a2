#pragma once

#include <QTextStream>

#include "prompter.h"

namespace vr5 {

// Without a window, a message meant for a box goes to the error stream, and every question gets
// the one answer the command chose.
class StreamPrompter final : public Prompter {
public:
    StreamPrompter(QTextStream& err, Answer answer) : err_(err), answer_(answer) {}
    void show(const QString& text, const QString&, Icon) override { err_ << text << Qt::endl; }
    using Prompter::ask;
    Answer ask(const QString& text, const QString&, Buttons, Icon) override {
        err_ << text << Qt::endl;
        return answer_;
    }

private:
    QTextStream& err_;
    Answer answer_;
};

}  // namespace vr5
