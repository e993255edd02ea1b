#include "hit_list.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

#include "store/diary_data_file.h"
#include "widgets/scale.h"

namespace tl::diary {

using widgets::Scale;

namespace {

// One slice of the listing: short enough that typing and painting go on.
constexpr int kSliceMs = 30;
// Marks: a warm highlight readable under black text on any base colour.
const QColor kMarkColor(255, 214, 92);

QString Text(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

}  // namespace

int HitListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_hits.size());
}

int HitListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HitListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    const store::FindHit& h = hit(index.row());
    switch (index.column()) {
        case DateColumn:
            return QString::fromStdString(store::DateText(h.date));
        case TitleColumn:
            return Text(h.title);
        default:
            return Text(h.line);
    }
}

QVariant HitListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case DateColumn:
            return tr("Date");
        case TitleColumn:
            return tr("Title");
        default:
            return tr("Found");
    }
}

void HitListModel::clear() {
    beginResetModel();
    m_hits.clear();
    endResetModel();
}

void HitListModel::append(std::vector<store::FindHit>&& hits) {
    if (hits.empty()) return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(hits.size()) - 1);
    for (auto& h : hits) m_hits.push_back(std::move(h));
    endInsertRows();
}

void HitLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QString line = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    const auto* model = qobject_cast<const HitListModel*>(index.model());
    if (!model) return;
    const store::FindHit& hit = model->hit(index.row());
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget)
                           .adjusted(Scale(2), 0, -Scale(2), 0);
    const QFontMetrics metrics(opt.font);
    painter->save();
    painter->setClipRect(area);
    painter->setFont(opt.font);
    const bool selected = opt.state & QStyle::State_Selected;
    const QColor text = opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    int x = area.left();
    const int baseline = area.top() + (area.height() + metrics.ascent() - metrics.descent()) / 2;
    qsizetype at = 0;
    // A line wider than the column ends in an ellipsis.
    const QString ellipsis(QChar(0x2026));
    const int room = area.right() - metrics.horizontalAdvance(ellipsis);
    bool cut = false;
    auto draw = [&](qsizetype from, qsizetype to, bool mark) {
        if (to <= from || cut) return;
        QString part = line.mid(from, to - from);
        int w = metrics.horizontalAdvance(part);
        if (x + w > area.right() && to - from > 0) {
            while (!part.isEmpty() && x + metrics.horizontalAdvance(part) > room) part.chop(1);
            if (!part.isEmpty() && part.back().isHighSurrogate()) part.chop(1);
            part += ellipsis;
            w = metrics.horizontalAdvance(part);
            cut = true;
        }
        if (mark) {
            painter->fillRect(QRect(x, area.top() + Scale(2), w, area.height() - Scale(4)),
                              kMarkColor);
            painter->setPen(Qt::black);
        } else {
            painter->setPen(text);
        }
        painter->drawText(x, baseline, part);
        x += w;
    };
    for (auto [start, length] : hit.marks) {
        const auto s = static_cast<qsizetype>(start), l = static_cast<qsizetype>(length);
        if (s < at || s + l > line.size()) continue;
        draw(at, s, false);
        draw(s, s + l, true);
        at = s + l;
    }
    draw(at, line.size(), false);
    painter->restore();
}

CHitListView::CHitListView(QWidget* parent)
    : QTreeView(parent), m_model(new HitListModel(this)), m_timer(new QTimer(this)) {
    setModel(m_model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegateForColumn(HitListModel::LineColumn, new HitLineDelegate(this));
    setColumnWidth(HitListModel::DateColumn, Scale(90));
    setColumnWidth(HitListModel::TitleColumn, Scale(130));
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &CHitListView::step);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { emit hitChosen(index.row()); });
}

void CHitListView::start(store::CDiaryDataFile& file, const store::SearchSettings& settings,
                         bool matchCase) {
    stop();
    m_model->clear();
    m_file = &file;
    m_settings = settings;
    m_scan = store::MatchScan{};
    m_scan.matchCase = matchCase;
    step();
}

void CHitListView::stop() {
    if (!m_file) return;
    m_timer->stop();
    m_file = nullptr;
    emit finished(m_model->rowCount(), false);
}

// One slice: the engine goes on after the last date it examined, so the
// diary may change between slices.
void CHitListView::step() {
    if (!m_file) return;
    std::vector<store::FindHit> found;
    QElapsedTimer clock;
    clock.start();
    double share = 0;
    m_file->SetSearchSettings(m_settings);
    m_file->FindMatches(
        m_scan, [&](store::FindHit&& hit) { found.push_back(std::move(hit)); },
        [&](double done) {
            share = done;
            return clock.elapsed() < kSliceMs;
        });
    const bool hadRows = m_model->rowCount() > 0;
    m_model->append(std::move(found));
    if (!hadRows && m_model->rowCount() > 0) setCurrentIndex(m_model->index(0, 0));
    if (!m_scan.finished) {
        emit progress(share);
        m_timer->start(0);
        return;
    }
    m_file = nullptr;
    emit finished(m_model->rowCount(), true);
}

void CHitListView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        emit hitChosen(currentIndex().row());
        return;
    }
    QTreeView::keyPressEvent(event);
}

}  // namespace tl::diary
