#pragma once

// "Display settings": tabs, sticky note translucency, picture reduction,
// the default title colours with their blink, the editor's background,
// the weather field and the side bar's side, in one dialog. It edits a
// working copy; the caller stores and applies the values on OK. While open
// it is a blink target: the default title colour button blinks as a title
// would.

#include <QDialog>
#include <functional>

#include "appearance.h"
#include "sticky/blink_rule.h"

class QAbstractButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tl::res {
class UserInterface;
}

namespace tl::frame {

class CRateSpin;

class CAppearanceDlg : public QDialog {
    Q_OBJECT

public:
    // layeredWindows: the platform can draw translucent windows.
    // editChoices runs the weather choices dialog over the given parent.
    CAppearanceDlg(const Appearance& values, bool layeredWindows, res::UserInterface& ui,
                   std::function<void(QWidget*)> editChoices, QWidget* parent = nullptr);
    ~CAppearanceDlg() override;

    // The values of the controls; valid after an accepted OK.
    Appearance values() const;
    // The dialog open now, if any: the blink clock ticks it.
    static CAppearanceDlg* active();
    void blinkTick(bool phaseOn);
    bool previewPhase() const;

    // The working copy's colours, as the colour buttons' dialogs set them.
    void setDefaultTitle(const store::TitleColors& colors);
    void setEditorBack(app::Color color);

    // The controls, for the keyboard and for tests.
    QRadioButton* leftSide() const { return m_left; }
    QRadioButton* rightSide() const { return m_right; }
    QCheckBox* translucent() const { return m_translucent; }
    QGroupBox* rateGroup() const { return m_rateGroup; }
    QRadioButton* individual() const { return m_individual; }
    QRadioButton* collective() const { return m_collective; }
    QLineEdit* rateEdit() const;
    CRateSpin* rateSpin() const { return m_rate; }
    QCheckBox* pictureReduction() const { return m_reduction; }
    QAbstractButton* titleColorButton() const { return m_titleButton; }
    QLineEdit* blinkCycle() const { return m_blinkCycle; }
    QCheckBox* weekdayOnTabs() const { return m_weekday; }
    QAbstractButton* backColorButton() const { return m_backButton; }
    QRadioButton* colorSpecified() const { return m_specified; }
    QRadioButton* systemColors() const { return m_system; }
    QCheckBox* weatherShown() const { return m_weather; }
    QCheckBox* onThisDayAtStart() const { return m_onThisDay; }
    QPushButton* editChoicesButton() const { return m_editChoices; }

protected:
    void accept() override;

private:
    class ColorButton;
    void createControls();
    void updateEnabling();
    void chooseTitleColors();
    void chooseBackColor();

    Appearance m_values;
    const bool m_layered;
    res::UserInterface& m_ui;
    std::function<void(QWidget*)> m_runEditChoices;
    sticky::BlinkPhase m_blink;
    QRadioButton* m_left = nullptr;
    QRadioButton* m_right = nullptr;
    QCheckBox* m_translucent = nullptr;
    QGroupBox* m_rateGroup = nullptr;
    QRadioButton* m_individual = nullptr;
    QRadioButton* m_collective = nullptr;
    QLabel* m_rateLabel = nullptr;
    QLabel* m_percent = nullptr;
    CRateSpin* m_rate = nullptr;
    QCheckBox* m_reduction = nullptr;
    QAbstractButton* m_titleButton = nullptr;
    QLineEdit* m_blinkCycle = nullptr;
    QCheckBox* m_weekday = nullptr;
    QAbstractButton* m_backButton = nullptr;
    QRadioButton* m_specified = nullptr;
    QRadioButton* m_system = nullptr;
    QCheckBox* m_weather = nullptr;
    QCheckBox* m_onThisDay = nullptr;
    QPushButton* m_editChoices = nullptr;
};

}  // namespace tl::frame
