#pragma once

// "Color settings" of a sticky note: text and background colour, the blink
// kind and, behind "Setting of period>>", the term of days on which the
// note blinks. While open it follows the blink clock.

#include <QDialog>

#include "blink_rule.h"
#include "note_checks.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tl::res {
class UserInterface;
}

namespace tl::sticky {

class CTagColorDlg : public QDialog {
    Q_OBJECT

public:
    struct Colors {
        std::uint32_t text = 0;
        std::uint32_t back = 0;
    };

    CTagColorDlg(const QString& previewText, Colors colors, const BlinkSettings& blink,
                 res::UserInterface& ui, QWidget* parent = nullptr);
    ~CTagColorDlg() override;

    Colors colors() const { return m_colors; }
    // What OK stored; valid once the dialog was accepted.
    const BlinkSettings& blinkSettings() const { return m_settings; }

    void blinkTick(bool phaseOn);
    // The dialog open now, if any: the blink clock ticks it.
    static CTagColorDlg* active();

    // The two blink boxes exclude each other (kind 1, 2, or 0 when the
    // checked one is cleared); exposed for the keyboard and for tests.
    void setBlinkText(bool on);
    void setBlinkTextAndBackground(bool on);
    void setExpanded(bool expanded);
    bool expanded() const { return m_expanded; }
    void accept() override;

private:
    class Preview;
    struct DateEdits {
        QCheckBox* box;
        QLineEdit* month;
        QLineEdit* day;
        QLineEdit* year;
    };
    DateEdits makeDateEdits(const QString& label, bool checked, store::Date date);
    void chooseColor(std::uint32_t& color);
    void updateControls();
    void setKind(std::uint8_t kind);
    std::uint8_t kind() const;
    QLineEdit* edit(TermField field) const;

    res::UserInterface& m_ui;
    QString m_previewText;
    Colors m_colors;
    BlinkSettings m_settings;
    BlinkPhase m_blink;
    bool m_expanded = false;
    Preview* m_preview;
    QCheckBox* m_blinkText;
    QCheckBox* m_blinkBoth;
    QPushButton* m_toggle;
    QGroupBox* m_term;
    DateEdits m_start{};
    DateEdits m_end{};
};

}  // namespace tl::sticky
