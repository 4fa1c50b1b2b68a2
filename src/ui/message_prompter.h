#pragma once

#include <QPointer>
#include <QWidget>

#include "prompter.h"

namespace vr5 {

// Message boxes for the operator.
class MessagePrompter final : public Prompter {
public:
    explicit MessagePrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void show(const QString& text, const QString& caption, Icon icon) override;
    using Prompter::ask;
    Answer ask(const QString& text, const QString& caption, Buttons buttons, Icon icon) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace vr5
