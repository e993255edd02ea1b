#pragma once

// The top pane of an entry window: the tab strip and, for a day entry, the
// title, the title colour button and the weather box.

#include <QWidget>
#include <functional>

#include "res/commands.h"
#include "sticky/blink_rule.h"
#include "store/records.h"

class QComboBox;
class QLineEdit;
class QAbstractButton;

namespace tl::diary {

class CTabStrip;
class TabTable;

class CHeadView : public QWidget {
    Q_OBJECT

public:
    CHeadView(TabTable& tabs, bool note, bool weatherShown, QWidget* parent = nullptr);

    CTabStrip* tabStrip() const { return m_strip; }
    // The height of the pane: the strip, plus the header controls and a
    // line for a day entry.
    static int paneHeight(bool note);

    void setHeader(const store::EntryHeader& header);
    QString title() const;
    void setTitle(const QString& title);
    QString weather() const;
    store::TitleColors colors() const { return m_colors; }
    void setColors(const store::TitleColors& colors);
    void setWeatherChoices(const store::WeatherList& choices);
    void setReadOnly(bool readOnly);
    // Shows or hides the weather box and its label and lays the fields out
    // anew (the title takes the room).
    void setWeatherShown(bool shown);
    void setReady(bool ready) { m_ready = ready; }
    QLineEdit* titleEdit() const { return m_title; }
    QComboBox* weatherBox() const { return m_weather; }
    // Where the "Title" and "Weather" labels are painted; empty for a note.
    QRect titleLabelRect() const { return m_titleLabel; }
    QRect weatherLabelRect() const { return m_weatherLabel; }

    // Whether files dropped now would be attached (see CMarlowView).
    void setAcceptFiles(std::function<bool()> accept) { m_acceptFiles = std::move(accept); }

    void blinkTick(bool phaseOn);
    // Collapses the title's selection (the editor took the focus).
    void hideTitleSelection();

signals:
    // The user changed a field: the entry is modified and pinned.
    void edited();
    // A field lost the focus: the owner saves.
    void fieldLeft();
    // A field took the focus.
    void fieldEntered();
    // The colour dialog was accepted: modified and saved at once.
    void colorsChosen();
    void toTextRequested();
    void menuAboutToOpen();
    // The title's menu: "Attach file" and the web search of the selection.
    void attachRequested();
    void searchRequested(tl::res::Cmd engine, const QString& text);
    void filesDropped(const QStringList& paths);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void chooseColors();
    void applyTitlePalette();
    void layoutFields();
    void showTitleMenu(QPoint globalPos);
    // Takes a drag of files from outside; false when it is not one.
    bool takeFiles(QDropEvent* event, bool drop);

    TabTable& m_tabs;
    bool m_note;
    bool m_weatherShown;
    bool m_ready = false;
    CTabStrip* m_strip;
    QLineEdit* m_title = nullptr;
    QAbstractButton* m_colorButton = nullptr;
    QComboBox* m_weather = nullptr;
    QRect m_titleLabel;
    QRect m_weatherLabel;
    store::TitleColors m_colors;
    sticky::BlinkPhase m_blink;
    std::function<bool()> m_acceptFiles;
};

}  // namespace tl::diary
