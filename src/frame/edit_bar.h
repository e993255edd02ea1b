#pragma once

// The edit bar: the font name and size boxes, bold, italic, underline and
// strike-through, and the text colour button with its drop-down. It shows
// the format of the active editor's selection and applies its choices to
// it; without an active entry the boxes are greyed and show the default
// font.

#include <QPointer>
#include <QWidget>
#include <functional>

#include "res/commands.h"

namespace tl::app {
struct AppSettings;
}
namespace tl::diary {
class CMarlowView;
}

namespace tl::frame {

class CCmdBtn;
class CColorPickWnd;
class CFontConboBox;
class CFontSizeCombo;

class CEditBar : public QWidget {
    Q_OBJECT

public:
    // run sends the format buttons' commands through the main window.
    CEditBar(app::AppSettings& settings, std::function<void(res::Cmd)> run,
             QWidget* parent = nullptr);

    // The active entry's editor; nullptr while none is active.
    void setEditor(diary::CMarlowView* editor);
    diary::CMarlowView* editor() const;
    // The periodic refresh: the format buttons' enabling (by the commands'
    // rules) and everything the selection shows.
    void refresh(const std::function<bool(res::Cmd)>& enabled);
    // The boxes and the format buttons from the editor's selection.
    void showSelectionFormat();

    // The colour button applies this colour; EDIT SELECTED_COLOR keeps it.
    QColor textColor() const;
    // What a choice of the colour popup does (0 Auto, 1-15, 16 Other...).
    void applyColorItem(int item);
    // The keyboard's way into the bar: the font name box.
    void focusFontName();

    CFontConboBox* fontName() const { return m_fontName; }
    CFontSizeCombo* fontSize() const { return m_fontSize; }
    CCmdBtn* button(res::Cmd cmd) const;
    CColorPickWnd* colorPopup() const { return m_popup; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyColor(const QColor& color, bool remember);
    void showDefaultFont();
    bool editable() const;

    app::AppSettings& m_settings;
    std::function<void(res::Cmd)> m_run;
    QPointer<diary::CMarlowView> m_editor;
    CFontConboBox* m_fontName;
    CFontSizeCombo* m_fontSize;
    std::vector<CCmdBtn*> m_buttons;  // bold, italic, underline, strike, colour, drop-down
    CColorPickWnd* m_popup;
    QBrush m_background;
};

}  // namespace tl::frame
