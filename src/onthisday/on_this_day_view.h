#pragma once

// The "On this day" view: one date (or one month's notes) in every year of
// the diary, a row per year with its heading, title in its colours,
// weather, first lines and marks, and a thumbnail of its first picture
// made off the interface thread. A click or Enter opens the row's entry;
// the arrow keys move. COnThisDayWnd is the dock window around it.

#include <QAbstractScrollArea>
#include <QDockWidget>
#include <QHash>
#include <QImage>
#include <memory>
#include <vector>

#include "app/on_this_day.h"
#include "on_this_day_layout.h"

namespace tl::store {
class CDiaryDataFile;
}
namespace tl::diary {
class ThumbnailLoader;
struct ThumbnailResult;
}  // namespace tl::diary

namespace tl::onthisday {

class COnThisDayView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit COnThisDayView(store::CDiaryDataFile& file, QWidget* parent = nullptr);
    ~COnThisDayView() override;

    // Reads the rows of the date (day 0: the month's notes) from the file.
    void setDate(store::Date asked);
    store::Date date() const { return m_asked; }
    // Reads the rows again (an entry changed, the file was replaced).
    void reload();
    const std::vector<app::OnThisDayRow>& rows() const { return m_rows; }
    int selectedRow() const { return m_selected; }
    void setSelectedRow(int row);
    // The thumbnails asked for are all made (for tests and the benchmark).
    bool thumbnailsDone() const;
    bool hasThumbnail(int row) const;
    // Where a row lies in the viewport.
    QRect rowRect(int row) const;
    QSize sizeHint() const override;

signals:
    void openRequested(tl::store::Date date);
    void thumbnailsFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void fill();
    void layOutRows();
    void requestThumbnails();
    void thumbnailLoaded(const diary::ThumbnailResult& result);
    void ensureVisible(int row);
    void paintRow(QPainter& p, int row, const QRect& r);
    int thumbnailSide() const;

    store::CDiaryDataFile& m_file;
    store::Date m_asked;
    std::vector<app::OnThisDayRow> m_rows;
    RowStack m_stack;
    int m_selected = -1;
    int m_pressed = -1;
    std::unique_ptr<diary::ThumbnailLoader> m_loader;
    // By the picture's record unit, kept while the user moves between
    // dates; a reload drops them.
    QHash<quint64, QImage> m_thumbnails;
};

// The dock window: the caption names the date.
class COnThisDayWnd : public QDockWidget {
    Q_OBJECT

public:
    explicit COnThisDayWnd(store::CDiaryDataFile& file, QWidget* parent = nullptr);
    COnThisDayView* view() const { return m_view; }
    void setDate(store::Date asked);

private:
    COnThisDayView* m_view;
};

}  // namespace tl::onthisday
