#pragma once

#include <QDialog>
#include <QPoint>
#include <initializer_list>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
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
    // A further button beside "Next >>" and "<< Back" that closes the page as "<< Back" does.
    QPushButton* addClosingButton(const QString& text);
    QPoint shift() const { return shift_; }

    // "Next >>": the page takes the operator's entries; it closes when they are accepted.
    void accept() override;

protected:
    // Copies the widgets into the page model and asks it to accept; true closes the page.
    virtual bool takeEntries() = 0;
    void showEvent(QShowEvent* event) override;

private:
    QVBoxLayout* body_;
    QDialogButtonBox* buttons_;
    QPushButton* next_;
    QPushButton* back_;
    QPoint shift_;
    bool moved_ = false;
};

// A box for a short number, wide enough to show `shownLength` characters, taking at most
// `maxLength`.
QLineEdit* shortBox(QWidget* parent, int shownLength, int maxLength);
// A label that gives its buddy the focus on its mnemonic.
QLabel* labelFor(const QString& text, QWidget* buddy);

// Tab moves through the widgets in this order.
void setTabChain(std::initializer_list<QWidget*> widgets);

// The position chosen in a list box, or -1 when the text typed into an editable box is not one
// of its entries.
int selectedIndex(const QComboBox* box);
// Selects an entry; an index the box does not have leaves it without a selection.
void selectIndex(QComboBox* box, int index);

}  // namespace vr5
