#pragma once

// The command bar: thirteen picture buttons for the clipboard, undo, the
// side bar's exist-only mode, borders, find and the previous and next
// diary. It only sends commands and shows their state; the main window
// refreshes that state.

#include <QWidget>
#include <functional>
#include <span>
#include <vector>

#include "bar_pictures.h"
#include "res/commands.h"

namespace tl::frame {

class CCmdBtn;

// One button: its command, picture and tooltip.
struct CmdBarButton {
    res::Cmd cmd;
    BarPicture picture;
    const char* tip;
};
std::span<const CmdBarButton> CmdBarButtons();

class CCmdBar : public QWidget {
    Q_OBJECT

public:
    // run is called with the command of a clicked button.
    explicit CCmdBar(std::function<void(res::Cmd)> run, QWidget* parent = nullptr);

    CCmdBtn* button(res::Cmd cmd) const;
    const std::vector<CCmdBtn*>& buttons() const { return m_buttons; }
    // Every button's enabled and checked state; only changes repaint.
    void refresh(const std::function<bool(res::Cmd)>& enabled,
                 const std::function<bool(res::Cmd)>& checked);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<CCmdBtn*> m_buttons;
    QBrush m_background;
};

}  // namespace tl::frame
