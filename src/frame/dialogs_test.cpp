#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <deque>

#include "app/password.h"
#include "desktop_dialogs.h"
#include "open_date_dlg.h"
#include "other_settings_dlg.h"
#include "password_dlg.h"
#include "progress_wnd.h"
#include "pw_change_dlg.h"
#include "res/messages.h"
#include "support/recording_ui.h"

namespace tl::frame {
namespace {

using testing::RecordingUi;

std::string text(res::Msg id) {
    return std::string(res::Text(id));
}

QLineEdit* edit(QWidget* dialog, int index) {
    return dialog->findChildren<QLineEdit*>().at(index);
}

TEST(OtherSettingsTest, HourOutsideTheDayKeepsTheDialogOpenAndChangesNothing) {
    app::AppSettings settings;
    settings.etc.todayRange = 6;
    settings.etc.sepBeforeLine = 0;
    RecordingUi ui;
    for (const char* hour : {"24", "-1", "", "7x"}) {
        COtherSettingsDlg dialog(settings, ui);
        QLineEdit* hourEdit = dialog.findChild<QLineEdit*>();
        hourEdit->setText(QString::fromLatin1(hour));
        static_cast<QDialog&>(dialog).accept();
        EXPECT_NE(dialog.result(), QDialog::Accepted) << hour;
        EXPECT_EQ(hourEdit->selectedText(), hourEdit->text()) << hour;
    }
    EXPECT_EQ(ui.warnings(), std::vector<std::string>(4, text(res::Msg::TimeIncorrect)));
    EXPECT_EQ(settings.etc.todayRange, 6);

    COtherSettingsDlg dialog(settings, ui);
    dialog.findChild<QLineEdit*>()->setText(QStringLiteral("7"));
    static_cast<QDialog&>(dialog).accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(settings.etc.todayRange, 7);
    EXPECT_EQ(settings.etc.sepBeforeLine, 0);  // options without controls stay
}

TEST(SpecifyDateTest, EmptyFieldsNameNotesAndWrongFieldsKeepTheDialogOpen) {
    RecordingUi ui;
    CSpecifyDateDlg dialog({2024, 3, 5}, ui);
    QLineEdit* year = edit(&dialog, 0);
    QLineEdit* month = edit(&dialog, 1);
    QLineEdit* day = edit(&dialog, 2);
    EXPECT_EQ(year->text(), QStringLiteral("2024"));
    EXPECT_EQ(month->text(), QStringLiteral("3"));

    year->setText(QStringLiteral("1899"));
    static_cast<QDialog&>(dialog).accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    year->setText(QStringLiteral("2023"));
    month->setText(QStringLiteral("2"));
    day->setText(QStringLiteral("29"));
    static_cast<QDialog&>(dialog).accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ui.warnings(), (std::vector<std::string>{text(res::Msg::Specify1900OrLater),
                                                       text(res::Msg::DayIncorrect)}));

    day->clear();
    static_cast<QDialog&>(dialog).accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.date(), (store::Date{2023, 2, 0}));  // the month note
}

TEST(ChangePasswordTest, ChecksRunInOrderAndDisablingNeedsAYes) {
    RecordingUi ui;
    CPwChangeDlg dialog(u"diary", ui);
    edit(&dialog, 0)->setText(QStringLiteral("Diary"));  // case matters
    static_cast<QDialog&>(dialog).accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ui.warnings().back(), text(res::Msg::CurrentPasswordIncorrect));

    edit(&dialog, 0)->setText(QStringLiteral("diary"));
    edit(&dialog, 1)->setText(QStringLiteral("new"));
    edit(&dialog, 2)->setText(QStringLiteral("neu"));
    static_cast<QDialog&>(dialog).accept();
    EXPECT_EQ(ui.warnings().back(), text(res::Msg::PasswordsNotSame));

    edit(&dialog, 1)->clear();
    edit(&dialog, 2)->clear();
    ui.answer(res::Answer::No);
    static_cast<QDialog&>(dialog).accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ui.answer(res::Answer::Yes);
    static_cast<QDialog&>(dialog).accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.newPassword().empty());
    EXPECT_FALSE(ui.unexpectedQuestion());
}

// Answers every password prompt that comes up with the next text.
class PromptTyper {
public:
    explicit PromptTyper(std::deque<QString> texts) : m_texts(std::move(texts)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { type(); });
        m_timer.start(10);
    }
    int prompts() const { return m_prompts; }

private:
    void type() {
        auto* dialog = qobject_cast<CPasswordDlg*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || m_texts.empty()) return;
        ++m_prompts;
        dialog->findChild<QLineEdit*>()->setText(m_texts.front());
        m_texts.pop_front();
        dialog->accept();
    }
    std::deque<QString> m_texts;
    QTimer m_timer;
    int m_prompts = 0;
};

TEST(PasswordPromptTest, ThirdWrongPasswordEnds) {
    RecordingUi ui;
    DesktopDialogs dialogs(ui);
    PromptTyper typer({QStringLiteral("a"), QStringLiteral("Secret"), QStringLiteral("secret!")});
    EXPECT_FALSE(app::AskPassword(u"secret", dialogs, ui));
    EXPECT_EQ(typer.prompts(), 3);
    EXPECT_EQ(ui.warnings(), std::vector<std::string>(3, text(res::Msg::PasswordIncorrect)));
}

TEST(PasswordPromptTest, RightPasswordAtTheThirdTryOpens) {
    RecordingUi ui;
    DesktopDialogs dialogs(ui);
    PromptTyper typer({QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("secret")});
    EXPECT_TRUE(app::AskPassword(u"secret", dialogs, ui));
    EXPECT_EQ(ui.warnings().size(), 2u);
}

TEST(PasswordPromptTest, DataFileSettingButtonOnlyWhenOffered) {
    const auto hasButton = [](bool offer) {
        CPasswordDlg dialog(offer);
        for (QPushButton* b : dialog.findChildren<QPushButton*>())
            if (b->text() == QStringLiteral("Data file setting")) return true;
        return false;
    };
    EXPECT_TRUE(hasButton(true));
    EXPECT_FALSE(hasButton(false));
    CPasswordDlg dialog(false);
    EXPECT_EQ(dialog.findChild<QLineEdit*>()->maxLength(), 10);
    EXPECT_EQ(dialog.findChild<QLineEdit*>()->echoMode(), QLineEdit::Password);
}

TEST(ProgressWindowTest, CancelRisesOnceAndStaysUp) {
    CProgressWnd progress(QStringLiteral("During backup"), nullptr);
    EXPECT_TRUE(progress.windowFlags().testFlag(Qt::WindowStaysOnTopHint));  // no owner
    EXPECT_TRUE(progress.isModal());
    EXPECT_TRUE(progress.step(10));
    progress.findChild<QPushButton*>()->click();
    EXPECT_FALSE(progress.step(20));
    EXPECT_FALSE(progress.step(30));
    EXPECT_TRUE(progress.isVisible());  // the operation closes it, not the button
}

}  // namespace
}  // namespace tl::frame
