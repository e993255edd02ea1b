#pragma once

// The modeless "Find" dialog: the two words with their histories, "and" /
// "or", include / not include, match case, close after find, the
// direction and "Across day"; and below them the hit list of every
// matching date. Created hidden with the main window and only hidden when
// closed; the searches themselves belong to CFinder.

#include <QDialog>
#include <string>
#include <vector>

#include "store/records.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace tl::app {
struct AppSettings;
}
namespace tl::res {
class UserInterface;
}

namespace tl::diary {

class CHitListView;

class CFindDlg : public QDialog {
    Q_OBJECT

public:
    CFindDlg(app::AppSettings& settings, res::UserInterface& ui, QWidget* parent = nullptr);

    // The Find command: the controls from the settings and the histories,
    // the first word given (or the stored one when empty), at the
    // remembered place or centred over the parent; the first word gets the
    // focus.
    void showWith(const QString& selectedText);
    // Remembers the place and hides (Cancel, closing, close after find).
    void hideAndRemember();
    // Cancel: remembers the place and hides.
    void reject() override;
    // The words' histories, most recent first.
    const std::vector<std::u16string>& history(int word) const { return m_history[word]; }

    QComboBox* firstWord() const { return m_first; }
    QComboBox* secondWord() const { return m_second; }
    QCheckBox* andBox() const { return m_and; }
    QCheckBox* orBox() const { return m_or; }
    QRadioButton* includeButton() const { return m_include; }
    QRadioButton* excludeButton() const { return m_exclude; }
    QCheckBox* matchCaseBox() const { return m_case; }
    QCheckBox* closeAfterBox() const { return m_closeAfter; }
    QRadioButton* previousButton() const { return m_previous; }
    QRadioButton* nextButton() const { return m_next; }
    QCheckBox* acrossDayBox() const { return m_acrossDay; }
    QPushButton* findButton() const { return m_findButton; }
    QPushButton* listButton() const { return m_listButton; }
    CHitListView* hitList() const { return m_hits; }

signals:
    // "&Find" with a first word: the settings hold the controls; search in
    // the direction.
    void findRequested(bool forward);
    // "&List all": list every matching date with the stored settings.
    void listRequested();
    void hitChosen(int row);
    // F3 and Shift+F3 while the dialog has the focus.
    void stepRequested(bool forward);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    // The check boxes and buttons from the settings.
    void loadChoices();
    void updateRules();
    // Checks the first word, stores the controls and the histories; false
    // (told, focus in the first word) when the first word is empty.
    bool acceptWords();
    void fillHistory(QComboBox* box, int word, const QString& text);
    void listFinished(int dates, bool complete);

    app::AppSettings& m_settings;
    res::UserInterface& m_ui;
    std::vector<std::u16string> m_history[2];
    QComboBox* m_first = nullptr;
    QComboBox* m_second = nullptr;
    QLabel* m_secondLabel = nullptr;
    QCheckBox* m_and = nullptr;
    QCheckBox* m_or = nullptr;
    QRadioButton* m_include = nullptr;
    QRadioButton* m_exclude = nullptr;
    QCheckBox* m_case = nullptr;
    QCheckBox* m_closeAfter = nullptr;
    QRadioButton* m_previous = nullptr;
    QRadioButton* m_next = nullptr;
    QCheckBox* m_acrossDay = nullptr;
    QPushButton* m_findButton = nullptr;
    QPushButton* m_listButton = nullptr;
    CHitListView* m_hits = nullptr;
    QWidget* m_listArea = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_stop = nullptr;
    QLabel* m_count = nullptr;
    bool m_placed = false;
};

}  // namespace tl::diary
