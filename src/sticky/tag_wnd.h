#pragma once

// A sticky note on the desktop: a small frameless window that sticks out
// of the main window's left or right edge, shows its text in its colours,
// blinks on the days of its term, and can be dragged along the edge and
// across to the other one. The main window's notes (CStickyNotes) own it.

#include <QWidget>
#include <optional>

#include "note_table.h"

namespace tl::app {
struct AppSettings;
}

namespace tl::sticky {

class CTagWnd;

// What a note asks of the main window's notes.
class NoteHost {
public:
    virtual ~NoteHost() = default;
    // The main window's edge area now; nullopt while it has no placement.
    virtual std::optional<EdgeArea> edgeArea() const = 0;
    // Dragging and the note's menu change the data file's notes.
    virtual bool writable() const = 0;
    virtual void arrangeNotes() = 0;
    virtual void openNote(CTagWnd& note) = 0;
    virtual void showNoteMenu(CTagWnd& note, QPoint globalPos) = 0;
    // Tab and Shift+Tab: the next or previous note takes the focus.
    virtual void focusNextNote(CTagWnd& note, bool forward) = 0;
    // Esc, or a window manager that activated a note unasked: the main
    // window gets the keyboard back.
    virtual void returnFocus(CTagWnd& note) = 0;
};

class CTagWnd : public QWidget, public NoteWindow {
    Q_OBJECT

public:
    // A hidden, owned window without a frame; CreateNote makes it real.
    CTagWnd(const store::StickyNote& note, NoteHost& host, QWidget* owner);

    // The font from the note's fields, the size from its text, and the
    // platform's window; false when the platform refused the window.
    [[nodiscard]] bool CreateNote();
    // The window's constant alpha from the TAG settings, where the platform
    // offers translucent windows; otherwise the note stays opaque.
    void ApplyTranslucency(const app::AppSettings& settings, bool offered);
    // The settings dialog replaced the fields: font, size and blink follow,
    // and the notes are arranged again.
    void setNote(const store::StickyNote& note);

    // NoteWindow
    const store::StickyNote& note() const override { return m_note; }
    int noteWidth() const override { return width(); }
    int noteHeight() const override { return height(); }
    void moveTo(NotePoint at) override;
    void setShown(bool shown) override;
    BlinkPhase& blink() override { return m_blink; }
    void repaintNote() override { update(); }

    bool dragging() const { return m_drag.has_value(); }
    QFont noteFont() const { return m_font; }
    // A note takes the keyboard only when asked (Ctrl+Shift+N, Tab between
    // notes); clicks, drags, showing and blinking leave it where it is.
    void takeKeyboardFocus(Qt::FocusReason reason);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool event(QEvent* event) override;

private:
    void relayout();
    void endDrag();
    // Ctrl+arrows: along the edge by dy, or over to the other edge.
    void keyMove(int dy, std::optional<NoteSide> side);

    store::StickyNote m_note;
    NoteHost& m_host;
    QFont m_font;
    BlinkPhase m_blink;
    std::optional<NoteDrag> m_drag;
    // Set from takeKeyboardFocus until the note loses the activation.
    bool m_keyboardWanted = false;
};

// Whether the platform shows windows translucent (not the offscreen one).
bool TranslucentWindowsOffered();

}  // namespace tl::sticky
