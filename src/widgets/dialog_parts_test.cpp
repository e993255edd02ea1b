#include "widgets/dialog_parts.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

#include "widgets/scale.h"

namespace tl::widgets {
namespace {

// A dialog that checks its fields in accept(), as most of the program's do.
class CheckingDialog : public QDialog {
public:
    void accept() override {
        ++checks;
        if (valid) QDialog::accept();
    }
    int checks = 0;
    bool valid = false;
};

TEST(DialogPartsTest, OkRunsTheDialogsOwnAcceptAndCancelRejects) {
    CheckingDialog dialog;
    QDialogButtonBox* buttons = OkCancelButtons(&dialog);
    dialog.open();
    buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(dialog.checks, 1);
    EXPECT_TRUE(dialog.isVisible());  // refused: the dialog stays
    dialog.valid = true;
    buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);

    dialog.open();
    buttons->button(QDialogButtonBox::Cancel)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.checks, 2);
}

TEST(DialogPartsTest, OkCanRunAnotherCheckInsteadOfAccept) {
    CheckingDialog dialog;
    int asked = 0;
    QDialogButtonBox* buttons = OkCancelButtons(&dialog, [&asked] { ++asked; });
    dialog.open();
    buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(dialog.checks, 0);
    EXPECT_TRUE(dialog.isVisible());
}

TEST(DialogPartsTest, NumberEditsHoldTheirDigitsAndScaleWithTheScreen) {
    QWidget parent;
    SetScaleDpi(96);
    QLineEdit* year = NumberEdit(4, &parent);
    EXPECT_EQ(year->maxLength(), 4);
    EXPECT_EQ(year->width(), 52);
    SetScaleDpi(192);
    EXPECT_EQ(NumberEdit(2, &parent)->width(), 68);
    SetScaleDpi(0);  // read from the screen again
}

}  // namespace
}  // namespace tl::widgets
