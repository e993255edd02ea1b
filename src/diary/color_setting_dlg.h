#pragma once

// "Color settings": the title colour dialog, for an entry's title and for
// the default title colours. While open it follows the blink clock.

#include <QDialog>

#include "sticky/blink_rule.h"
#include "store/records.h"

class QCheckBox;
class QPushButton;

namespace tl::diary {

class CColorSettingDlg : public QDialog {
    Q_OBJECT

public:
    explicit CColorSettingDlg(QWidget* parent = nullptr);
    ~CColorSettingDlg() override;

    void setPreviewText(const QString& text);
    QString previewText() const { return m_previewText; }
    void setColors(const store::TitleColors& colors);
    store::TitleColors colors() const;

    void blinkTick(bool phaseOn);
    // The dialog open now, if any: the blink clock ticks it.
    static CColorSettingDlg* active();

    // The two blink boxes exclude each other; exposed for the keyboard and
    // for tests.
    void setBlinkText(bool on);
    void setBlinkTextAndBackground(bool on);

private:
    class Preview;
    void chooseColor(std::uint32_t& color);
    void updateControls();

    QString m_previewText;
    store::TitleColors m_colors;
    sticky::BlinkPhase m_blink;
    Preview* m_preview;
    QCheckBox* m_backgroundOn;
    QPushButton* m_backgroundButton;
    QCheckBox* m_blinkText;
    QCheckBox* m_blinkBoth;
};

}  // namespace tl::diary
