#pragma once

// A picture button of the command bar and the edit bar: the hover frame
// while the pointer is over it, the pressed frame while it is pushed or
// checked, and its picture (grey while disabled, without a frame). It
// takes no focus from a click, so the editor keeps its selection; the
// edit bar lets the Tab key reach its buttons.

#include <QAbstractButton>

#include "bar_pictures.h"
#include "res/commands.h"

namespace tl::frame {

class CCmdBtn : public QAbstractButton {
    Q_OBJECT

public:
    // tip is shown as the tooltip (a "&" marks no mnemonic there).
    CCmdBtn(res::Cmd cmd, BarPicture picture, const QString& tip, QWidget* parent = nullptr);

    res::Cmd command() const { return m_cmd; }
    BarPicture picture() const { return m_picture; }
    // The colour bar of the text colour picture.
    void setColour(const QColor& colour);
    QColor colour() const { return m_colour; }
    // Only a change repaints. "on" shows the pressed frame: a mode that is
    // on, or the selection's format; the button never switches it itself,
    // the command it sends does.
    void setState(bool enabled, bool on);
    bool isOn() const { return m_on; }
    bool isHovered() const { return m_hovered; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    res::Cmd m_cmd;
    BarPicture m_picture;
    QColor m_colour;
    bool m_hovered = false;
    bool m_on = false;
};

}  // namespace tl::frame
