#include "cmd_bar.h"

#include <QPainter>
#include <array>

#include "calendar/side_bar_art.h"
#include "cmd_btn.h"
#include "widgets/scale.h"

namespace tl::frame {

using res::Cmd;
using widgets::Scale;

namespace {

// The tooltips are the string table's texts 270 to 290.
constexpr std::array kButtons = {
    CmdBarButton{Cmd::EditCut, BarPicture::Cut, "Cu&t(Ctrl+X)"},
    CmdBarButton{Cmd::EditCopy, BarPicture::Copy, "&Copy(Ctrl+C)"},
    CmdBarButton{Cmd::EditPaste, BarPicture::Paste, "&Paste(Ctrl+V)"},
    CmdBarButton{Cmd::EditUndo, BarPicture::Undo, "&Undo(Ctrl+Z)"},
    CmdBarButton{Cmd::EditRedo, BarPicture::Redo, "R&edo(Ctrl+Y)"},
    CmdBarButton{Cmd::ExistOnly, BarPicture::ExistOnly, "Display in the sidebar only diary exists"},
    CmdBarButton{Cmd::InsertBorder, BarPicture::Border, "In&sert border(F9)"},
    CmdBarButton{Cmd::InsertShortBorder, BarPicture::ShortBorder, "Insert sho&rt border(F8)"},
    CmdBarButton{Cmd::Find, BarPicture::Find, "&Find...(Ctrl+F)"},
    CmdBarButton{Cmd::FindNext, BarPicture::FindNext, "Find &Next(F3)"},
    CmdBarButton{Cmd::FindPrevious, BarPicture::FindPrevious, "Find Pre&vious(Shift+F3)"},
    CmdBarButton{Cmd::NextEntry, BarPicture::NextDiary, "&Next diary(Ctrl+Down)"},
    CmdBarButton{Cmd::PreviousEntry, BarPicture::PreviousDiary, "P&revious diary(Ctrl+Up)"},
};

// The layout at 96 dots per inch: the bar's height, the first button's
// left edge, the step from one button to the next, the buttons' top and
// size.
constexpr int kHeight = 41;
constexpr int kFirstLeft = 15 - 2;
constexpr int kStep = 30 + 8;
constexpr int kTop = 4;
constexpr int kSize = 32;

}  // namespace

std::span<const CmdBarButton> CmdBarButtons() {
    return kButtons;
}

CCmdBar::CCmdBar(std::function<void(Cmd)> run, QWidget* parent)
    : QWidget(parent), m_background(calendar::SideBarPattern()) {
    setObjectName(QStringLiteral("CmdBar"));
    setAccessibleName(tr("Tool Bar"));
    setFixedHeight(Scale(kHeight));
    int x = Scale(kFirstLeft);
    for (const CmdBarButton& spec : kButtons) {
        auto* button = new CCmdBtn(spec.cmd, spec.picture, QString::fromUtf8(spec.tip), this);
        button->setGeometry(x, Scale(kTop), Scale(kSize), Scale(kSize));
        x += Scale(kStep);
        connect(button, &CCmdBtn::clicked, this, [button, run] { run(button->command()); });
        m_buttons.push_back(button);
    }
    static_assert(kStep > kSize, "buttons do not overlap");
}

CCmdBtn* CCmdBar::button(Cmd cmd) const {
    for (CCmdBtn* b : m_buttons)
        if (b->command() == cmd) return b;
    return nullptr;
}

void CCmdBar::refresh(const std::function<bool(Cmd)>& enabled,
                      const std::function<bool(Cmd)>& checked) {
    for (CCmdBtn* b : m_buttons) b->setState(enabled(b->command()), checked(b->command()));
}

QSize CCmdBar::sizeHint() const {
    const int buttons = static_cast<int>(kButtons.size());
    return QSize(Scale(kFirstLeft) + buttons * Scale(kStep), Scale(kHeight));
}

void CCmdBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_background);
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.drawLine(0, height() - 1, width(), height() - 1);
}

}  // namespace tl::frame
