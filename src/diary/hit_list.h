#pragma once

// The hit list of the find dialog: every matching date with its title and
// the matching line, the matches marked; filled in slices so that the
// window stays alive and the listing can be stopped.

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <functional>
#include <vector>

#include "store/records.h"

class QTimer;

namespace tl::store {
class CDiaryDataFile;
}

namespace tl::diary {

class HitListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { DateColumn, TitleColumn, LineColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void clear();
    void append(std::vector<store::FindHit>&& hits);
    const store::FindHit& hit(int row) const { return m_hits[static_cast<std::size_t>(row)]; }

private:
    std::vector<store::FindHit> m_hits;
};

// Paints the line with its marks on a highlight.
class HitLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

// The list and the scan that fills it.
class CHitListView : public QTreeView {
    Q_OBJECT

public:
    explicit CHitListView(QWidget* parent = nullptr);

    // Lists every date matching the search settings from the start of the
    // diary, in date order; a running listing is stopped first.
    void start(store::CDiaryDataFile& file, const store::SearchSettings& settings, bool matchCase);
    void stop();
    bool running() const { return m_file != nullptr; }
    HitListModel* hits() const { return m_model; }
    // The settings the listed hits were found with.
    const store::SearchSettings& settings() const { return m_settings; }
    bool matchCase() const { return m_scan.matchCase; }

signals:
    // The share done (0 to 1) while listing; finished once at the end or
    // when stopped.
    void progress(double share);
    void finished(int dates, bool complete);
    void hitChosen(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void step();

    HitListModel* m_model;
    QTimer* m_timer;
    store::CDiaryDataFile* m_file = nullptr;
    store::SearchSettings m_settings;
    store::MatchScan m_scan;
};

}  // namespace tl::diary
