#pragma once

#include <QDialog>
#include <QFont>
#include <QPoint>
#include <QPointer>
#include <initializer_list>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace vr5 {

// A set-up page: its content above "<< Back" and "Next >>". It opens with the keyboard in its
// first box, the box's text selected, so that an operator can type and press Enter through the
// pages: Enter presses "Next >>", Escape and the close box count as "<< Back". Each page is wide
// enough for its whole caption in the title bar. Some pages move themselves right and down from
// where they opened, so that the page before them stays readable underneath.
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
    // Tab moves through the widgets in this order; the first has the keyboard when the page
    // opens.
    void setKeyboardOrder(std::initializer_list<QWidget*> widgets);
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void fitCaption();

    QVBoxLayout* body_;
    QDialogButtonBox* buttons_;
    QPushButton* next_;
    QPushButton* back_;
    QPoint shift_;
    QPointer<QWidget> first_;
    bool moved_ = false;
};

// The room a window manager's title bar takes beside the caption: its icon and buttons.
inline constexpr int kTitleBarButtonsRoom = 150;
// The font title bars are drawn in, as near as the program can know it: the desktop's title
// font, bold, and no smaller than the program's own.
QFont titleBarFont();
// The width a window needs for the whole of `caption` in its title bar.
int titleBarWidth(const QString& caption);

// Gives a box the keyboard with its text selected, so that typing replaces it.
void focusWithTextSelected(QWidget* box);

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
