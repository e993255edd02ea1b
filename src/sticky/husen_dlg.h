#pragma once

// "Sticky note Settings": a note's text, font, colours and blink, and its
// own translucency; "Set to default" makes them the defaults of later
// notes. While open it follows the blink clock.

#include <QDialog>

#include "blink_rule.h"
#include "store/records.h"

class QLineEdit;
class QPushButton;

namespace tl::app {
struct AppSettings;
}
namespace tl::res {
class UserInterface;
}

namespace tl::sticky {

class CHusenDlg : public QDialog {
    Q_OBJECT

public:
    // offered: the platform shows translucent windows.
    CHusenDlg(const store::StickyNote& note, app::AppSettings& settings, res::UserInterface& ui,
              bool offered, QWidget* parent = nullptr);
    ~CHusenDlg() override;

    // The working copy; what the caller takes back on OK.
    const store::StickyNote& note() const { return m_note; }

    void blinkTick(bool phaseOn);
    // The dialog open now, if any: the blink clock ticks it.
    static CHusenDlg* active();

    QLineEdit* textField() const { return m_text; }
    QLineEdit* rateField() const { return m_rate; }
    // The rate's up-down control, one step.
    void stepRate(int steps);
    // "Back color": the note colour dialog on the text typed so far.
    void editColors();
    // "Set to default": true when the fields passed the checks.
    bool setToDefault();
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class ColorButton;
    // The fields as typed into the working copy; false (told, focus on the
    // field) when they do not pass.
    bool takeFields();
    void chooseFont();

    store::StickyNote m_note;
    app::AppSettings& m_settings;
    res::UserInterface& m_ui;
    BlinkPhase m_blink;
    QLineEdit* m_text;
    QLineEdit* m_rate;
    ColorButton* m_colorButton;
};

}  // namespace tl::sticky
