#pragma once

#include <QObject>

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QWidget;

namespace vr5 {

struct MaterialChoice;

// The material list with the box for a typed material beside it, bound to a page's material
// choice. The Pipe and Fitting pages share it, as they share the stored material.
class MaterialChooser : public QObject {
    Q_OBJECT
public:
    MaterialChooser(MaterialChoice& choice, QWidget* parent);

    QComboBox* list() const { return list_; }
    QLineEdit* textBox() const { return text_; }
    // Both boxes in a row, for the page's layout.
    QHBoxLayout* makeRow() const;

    // Shows the choice; the typed box only for "Unlisted".
    void display();
    // Puts the operator's entries back into the choice.
    void take();

private:
    MaterialChoice& choice_;
    QComboBox* list_;
    QLineEdit* text_;
};

}  // namespace vr5
