#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "prompter.h"

namespace vr5::test {

// Answers every question with a fixed answer and keeps what it was shown.
class ScriptedPrompter final : public Prompter {
public:
    void show(const QString& text, const QString& caption, Icon) override {
        messages << text;
        captions << caption;
    }
    Answer ask(const QString& text, const QString& caption, Buttons) override {
        messages << text;
        captions << caption;
        return answer;
    }

    QStringList messages;
    QStringList captions;
    Answer answer = Answer::Cancel;
};

// Writes the report of tests/fixtures/<name>.txt into dir and returns its path.
QString writeFixture(const QTemporaryDir& dir, const QString& name, const QString& fileName = {});
// Writes bytes as a file into dir and returns its path.
QString writeFile(const QTemporaryDir& dir, const QString& fileName, const QByteArray& bytes);

}  // namespace vr5::test
