#pragma once

#include <QDialog>
#include <QPoint>
#include <initializer_list>

class QComboBox;
class QPushButton;
class QVBoxLayout;

namespace vr5 {

// A set-up page: its content above "<< Back" and "Next >>". Enter presses "Next >>", Escape and
// the close box count as "<< Back". Some pages move themselves right and down from where they
// opened, so that the page before them stays readable underneath.
class SetupPageDialog : public QDialog {
    Q_OBJECT
public:
    SetupPageDialog(const QString& caption, QWidget* parent, QPoint shift = {});

    QVBoxLayout* body() const { return body_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* backButton() const { return back_; }
    QPoint shift() const { return shift_; }

    // "Next >>": the page takes the operator's entries; it closes when they are accepted.
    void accept() override;

protected:
    // Copies the widgets into the page model and asks it to accept; true closes the page.
    virtual bool takeEntries() = 0;
    void showEvent(QShowEvent* event) override;

private:
    QVBoxLayout* body_;
    QPushButton* next_;
    QPushButton* back_;
    QPoint shift_;
    bool moved_ = false;
};

// Tab moves through the widgets in this order.
void setTabChain(std::initializer_list<QWidget*> widgets);

// The position chosen in a list box, or -1 when the text typed into an editable box is not one
// of its entries.
int selectedIndex(const QComboBox* box);
// Selects an entry; an index the box does not have leaves it without a selection.
void selectIndex(QComboBox* box, int index);

}  // namespace vr5
