#pragma once

// The rich-text editor of an entry: the third pane of the entry window.

#include <QTextEdit>
#include <functional>

#include "link_text.h"
#include "res/commands.h"

namespace tl::app {
struct AppSettings;
}
namespace tl::res {
class UserInterface;
}

namespace tl::diary {

inline constexpr char kPrivateMimeType[] = "application/x-tallyleaf-format";
// The same stream for other programs: the names word processors on Linux
// read rich text under.
inline constexpr const char* kRtfMimeTypes[] = {"text/rtf", "application/rtf"};

class CMarlowView : public QTextEdit {
    Q_OBJECT

public:
    CMarlowView(const app::AppSettings& settings, res::UserInterface& ui,
                QWidget* parent = nullptr);

    // Applies the FONT settings to the whole text as the default format.
    void applyDefaultFont();
    // MAIN_WINDOW BACK_COLOR behind the text while COLOR_SPECIFY is 1,
    // else the system's colour.
    void applyBackground();
    void setReady(bool ready) { m_ready = ready; }
    bool isReady() const { return m_ready; }

    bool isCommandEnabled(res::Cmd command) const;
    bool runCommand(res::Cmd command);

    // The edit bar's character formats on the selection (or on what is
    // typed next), one property each; nothing while read-only.
    void applyFontFamily(const QString& family);
    void applyFontSize(double points);
    void applyTextColor(const QColor& color);

    void insertBorder(bool shortBorder);
    void insertStamp(int year, int month, int day, int hour, int minute);
    void insertLineBreak();
    void searchSelection(res::Cmd engine);
    // The web search of a text (the editor's or the title's selection):
    // "Specified text is too long." past 100 characters.
    static void SearchText(res::Cmd engine, const QString& text, res::UserInterface& ui);
    void printDocument();
    void printPreview();

    // Runs before the context menu opens: every modified entry is saved.
    void setBeforeMenu(std::function<void()> hook) { m_beforeMenu = std::move(hook); }
    // Extra entries of the context menu (Attach file), added by the owner.
    void setMenuExtension(std::function<void(class QMenu&)> hook) {
        m_menuExtension = std::move(hook);
    }
    // Whether files dropped now would be attached (a writable file, and not
    // the entry's own strip dragging out).
    void setAcceptFiles(std::function<bool()> accept) { m_acceptFiles = std::move(accept); }
    // Whether a drag of attachments comes from this entry's own strip (then
    // its pictures' link texts are inserted where it is dropped).
    void setOwnStripDragging(std::function<bool()> own) { m_ownStripDragging = std::move(own); }

signals:
    // Focus left the editor: the owner saves.
    void focusLost();
    void focusGained();
    void toTitleRequested();
    // A double click found a link text or a web address (already selected).
    void linkActivated(const tl::diary::FoundLink& link);
    void filesDropped(const QStringList& paths);
    // The entry's own strip was dropped here: the caret is at the drop.
    void stripDropped();

protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void focusOutEvent(QFocusEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void replaceSelection(const QString& text);
    // Attachments and files dragged over the editor; false: a drag of text.
    bool acceptDrag(QDropEvent* event);
    void toggleFormat(res::Cmd command);

    const app::AppSettings& m_settings;
    res::UserInterface& m_ui;
    bool m_ready = false;
    std::function<void()> m_beforeMenu;
    std::function<void(QMenu&)> m_menuExtension;
    std::function<bool()> m_acceptFiles;
    std::function<bool()> m_ownStripDragging;
};

}  // namespace tl::diary
