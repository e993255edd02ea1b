#include "tag_wnd.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QWindow>
#include <algorithm>
#include <cstdlib>

#include "app/app_settings.h"
#include "diary/entry_name.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::sticky {

namespace {

using widgets::Scale;
using widgets::ToQColor;

// The frame's grey, the height of a note whose record has none, and the
// largest height taken from a record (bytes from disk are not trusted).
constexpr std::uint32_t kFrameGrey = widgets::Rgb(128, 128, 128);
constexpr int kDefaultFontHeight = 12;
constexpr int kMaxFontHeight = 500;
// One Ctrl+Up or Ctrl+Down step along the edge, at 96 dots per inch.
constexpr int kKeyStep = 10;

}  // namespace

bool TranslucentWindowsOffered() {
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

CTagWnd::CTagWnd(const store::StickyNote& note, NoteHost& host, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint |
                         Qt::WindowDoesNotAcceptFocus),
      m_note(note),
      m_host(host) {
    setObjectName(QStringLiteral("TagWnd"));
    // Shown, moved and repainted while the user types: never activated by that.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    m_blink.setKind(note.blink);
}

bool CTagWnd::CreateNote() {
    relayout();
    move(0, 0);
    create();
    return windowHandle() != nullptr && winId() != 0;
}

void CTagWnd::relayout() {
    const QString face = QString::fromStdU16String(m_note.faceName);
    m_font = face.isEmpty() ? QFont() : QFont(face);
    // The record keeps the height at 96 dots per inch; the font dialogs of
    // other versions stored it negative.
    const long long stored = std::llabs(static_cast<long long>(m_note.fontHeight));
    const int height = stored == 0 ? kDefaultFontHeight
                                   : static_cast<int>(std::min<long long>(stored, kMaxFontHeight));
    m_font.setPixelSize(std::max(1, Scale(height)));
    m_font.setWeight(static_cast<QFont::Weight>(std::clamp(m_note.fontWeight, 1, 1000)));
    m_font.setItalic(m_note.italic);
    const QFontMetrics metrics(m_font);
    const QString text = QString::fromStdU16String(m_note.text);
    const int margin = Scale(5);
    setFixedSize(margin + metrics.horizontalAdvance(text), margin + metrics.height());
    setAccessibleName(text);
    setToolTip(QString::fromStdU16String(diary::EntryName(m_note.date)));
}

void CTagWnd::ApplyTranslucency(const app::AppSettings& settings, bool offered) {
    if (!offered) return;
    const int alpha = NoteAlpha(settings.tag.transparent != 0, settings.tag.transparentSetAll != 0,
                                settings.tag.transparentRate, m_note.transparency);
    setWindowOpacity(alpha / 255.0);
}

void CTagWnd::setNote(const store::StickyNote& note) {
    m_note = note;
    m_blink.setKind(note.blink);
    relayout();
    m_host.arrangeNotes();
    update();
}

void CTagWnd::moveTo(NotePoint at) {
    move(at.x, at.y);
}

void CTagWnd::setShown(bool shown) {
    if (shown == isVisible()) return;
    if (!shown) endDrag();
    setVisible(shown);
}

void CTagWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const BlinkPhase::Colors shown = m_blink.shownColors(m_note.textColor, true, m_note.backColor);
    p.fillRect(rect(), ToQColor(shown.background));
    if (!m_blink.textHidden()) {
        p.setFont(m_font);
        p.setPen(ToQColor(shown.text));
        p.drawText(QRect(3, 3, width(), height()),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                   QString::fromStdU16String(m_note.text));
    }
    // Top, bottom and the outer side; the side against the main window
    // stays open, like paper stuck under its edge.
    p.setPen(ToQColor(m_blink.inverted() ? widgets::InvertedColor(kFrameGrey) : kFrameGrey));
    // The last column and row: the client area less one pixel at the right
    // and the bottom, ends included.
    const int r = width() - 1;
    const int b = height() - 1;
    p.drawLine(0, 0, r, 0);
    p.drawLine(0, b, r, b);
    const int x = m_note.side == 1 ? r : 0;
    p.drawLine(x, 0, x, b);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void CTagWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_host.writable()) return;
    const std::optional<EdgeArea> area = m_host.edgeArea();
    if (!area) return;
    const NoteSide side = m_note.side == 1 ? NoteSide::Right : NoteSide::Left;
    m_drag.emplace(*area, side, y(), event->globalPosition().toPoint().y());
}

void CTagWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!m_drag) return;
    const QPoint cursor = event->globalPosition().toPoint();
    const NoteDrag::Step step = m_drag->move(cursor.x(), cursor.y(), width(), height());
    m_note.side = static_cast<std::uint8_t>(step.side);
    m_note.top = step.offset;
    move(step.at.x, step.at.y);
    if (step.sideChanged) update();
}

void CTagWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) endDrag();
}

void CTagWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_host.openNote(*this);
}

void CTagWnd::contextMenuEvent(QContextMenuEvent* event) {
    if (m_drag) return;
    const QPoint at = event->reason() == QContextMenuEvent::Keyboard
                          ? mapToGlobal(QPoint(0, height()))
                          : event->globalPos();
    m_host.showNoteMenu(*this, at);
}

void CTagWnd::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            m_host.openNote(*this);
            break;
        case Qt::Key_Escape:
            m_host.returnFocus(*this);
            break;
        case Qt::Key_F10:
            if (!(event->modifiers() & Qt::ShiftModifier)) return QWidget::keyPressEvent(event);
            m_host.showNoteMenu(*this, mapToGlobal(QPoint(0, height())));
            break;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const bool down = event->key() == Qt::Key_Down;
            if (ctrl)
                keyMove(Scale(down ? kKeyStep : -kKeyStep), std::nullopt);
            else
                m_host.focusNextNote(*this, down);
            break;
        }
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (!ctrl) return QWidget::keyPressEvent(event);
            keyMove(0, event->key() == Qt::Key_Left ? NoteSide::Left : NoteSide::Right);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void CTagWnd::keyMove(int dy, std::optional<NoteSide> side) {
    const std::optional<EdgeArea> area = m_host.edgeArea();
    if (!area || !m_host.writable()) return;
    if (side) {
        m_note.side = static_cast<std::uint8_t>(*side);
        update();
    }
    m_note.top = NudgedOffset(*area, m_note.top, height(), dy);
    m_host.arrangeNotes();
}

void CTagWnd::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

// Losing the focus ends a drag, as releasing the button does.
void CTagWnd::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    endDrag();
    update();
}

void CTagWnd::takeKeyboardFocus(Qt::FocusReason reason) {
    m_keyboardWanted = true;
    if (QWindow* window = windowHandle()) window->setFlag(Qt::WindowDoesNotAcceptFocus, false);
    raise();
    activateWindow();
    setFocus(reason);
}

bool CTagWnd::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowActivate:
            // Some platforms activate every window they show.
            if (!m_keyboardWanted) m_host.returnFocus(*this);
            break;
        case QEvent::WindowDeactivate:
            m_keyboardWanted = false;
            if (QWindow* window = windowHandle())
                window->setFlag(Qt::WindowDoesNotAcceptFocus, true);
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

bool CTagWnd::focusNextPrevChild(bool next) {
    m_host.focusNextNote(*this, next);
    return true;
}

void CTagWnd::endDrag() {
    m_drag.reset();
}

}  // namespace tl::sticky
