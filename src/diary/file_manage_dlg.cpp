#include "file_manage_dlg.h"

#include <QDrag>
#include <QGridLayout>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "app/failure_report.h"
#include "attachment_drag.h"
#include "exchange/exchange_texts.h"
#include "res/messages.h"
#include "store/diary_data_file.h"
#include "widgets/scale.h"
#include "widgets/wait_cursor.h"

namespace tl::diary {

using widgets::Scale;

namespace {

QString Qs(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

QString Qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Whether the style draws the indicator as an arrow pointing up: the ink
// of an upward triangle lies mostly in the lower half of its rows.
bool DrawnPointingUp(const QWidget& widget, QStyleOptionHeader::SortIndicator indicator) {
    QImage image(Scale(16), Scale(16), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QStyleOptionHeader option;
    option.initFrom(&widget);
    option.rect = image.rect();
    option.sortIndicator = indicator;
    {
        QPainter painter(&image);
        widget.style()->drawPrimitive(QStyle::PE_IndicatorHeaderArrow, &option, &painter, &widget);
    }
    int first = -1, last = -1;
    double ink = 0, moment = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            if (alpha == 0) continue;
            if (first < 0) first = y;
            last = y;
            ink += alpha;
            moment += static_cast<double>(alpha) * y;
        }
    return ink > 0 && moment / ink > (first + last) / 2.0;
}

// Styles disagree about which indicator points up (Fusion on Linux draws
// Qt's ascending order as a down arrow); this list shows an up arrow when
// ascending and a down arrow when descending, whatever the style.
class SortArrowHeader : public QHeaderView {
public:
    explicit SortArrowHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        if (option->sortIndicator == QStyleOptionHeader::None) return;
        if (m_probedStyle != style()) {
            m_probedStyle = style();
            m_up = DrawnPointingUp(*this, QStyleOptionHeader::SortUp)
                       ? QStyleOptionHeader::SortUp
                       : QStyleOptionHeader::SortDown;
        }
        const bool ascending = sortIndicatorOrder() == Qt::AscendingOrder;
        const auto down = m_up == QStyleOptionHeader::SortUp ? QStyleOptionHeader::SortDown
                                                             : QStyleOptionHeader::SortUp;
        option->sortIndicator = ascending ? m_up : down;
    }

private:
    mutable const QStyle* m_probedStyle = nullptr;
    mutable QStyleOptionHeader::SortIndicator m_up = QStyleOptionHeader::SortDown;
};

}  // namespace

// --- FileManageModel ---------------------------------------------------------

FileManageModel::FileManageModel(std::vector<FileManageRow> rows, QObject* parent)
    : QAbstractTableModel(parent), m_rows(std::move(rows)) {}

int FileManageModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int FileManageModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFileManageColumns;
}

QVariant FileManageModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= m_rows.size()) return {};
    const auto column = static_cast<FileManageColumn>(index.column());
    if (role == Qt::DisplayRole)
        return Qs(FileManageCell(m_rows[static_cast<std::size_t>(index.row())], column));
    if (role == Qt::TextAlignmentRole) {
        const bool left = column == FileManageColumn::Name || column == FileManageColumn::Date;
        return QVariant::fromValue(Qt::AlignVCenter | (left ? Qt::AlignLeft : Qt::AlignRight));
    }
    return {};
}

QVariant FileManageModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole) {
        static const char* const kHeadings[kFileManageColumns] = {
            "File name", "Date", "Original size", "Compressed size", "Attachment order"};
        if (section >= 0 && section < kFileManageColumns) return tr(kHeadings[section]);
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter |
                                   (section < 2 ? Qt::AlignLeft : Qt::AlignRight));
    return {};
}

Qt::ItemFlags FileManageModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsDragEnabled;
}

void FileManageModel::clickColumn(FileManageColumn column) {
    beginResetModel();
    m_sort.click(column);
    m_sort.apply(m_rows);
    endResetModel();
}

void FileManageModel::rowsChanged() {
    beginResetModel();
    endResetModel();
}

// --- CFileManagListCtl -------------------------------------------------------

CFileManagListCtl::CFileManagListCtl(QWidget* parent) : QTreeView(parent) {
    setHeader(new SortArrowHeader(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
}

std::vector<int> CFileManagListCtl::selectedRows() const {
    std::vector<int> rows;
    if (!selectionModel()) return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CFileManagListCtl::startDrag(Qt::DropActions) {
    const std::vector<int> rows = selectedRows();
    if (rows.empty() || !m_dragData) return;
    QMimeData* data = m_dragData(rows);
    if (!data) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(style()->standardIcon(QStyle::SP_FileIcon).pixmap(Scale(32)));
    drag->exec(Qt::CopyAction);
    viewport()->update();
}

void CFileManagListCtl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        // The menu key's other form, at the current row.
        const QRect row = visualRect(currentIndex());
        emit customContextMenuRequested(row.isValid() ? row.center() : QPoint(0, 0));
        return;
    }
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
            case Qt::Key_Delete:
                emit deletePressed();
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                emit openPressed();
                return;
            default:
                break;
        }
    }
    QTreeView::keyPressEvent(event);
}

// --- CFileManageDlg ----------------------------------------------------------

CFileManageDlg::CFileManageDlg(Context context, std::vector<FileManageRow> rows, QWidget* parent)
    : QDialog(parent), m_context(std::move(context)) {
    setWindowTitle(tr("Management attached files"));
    m_model = new FileManageModel(std::move(rows), this);
    m_list = new CFileManagListCtl(this);
    m_list->setModel(m_model);
    m_list->header()->setSectionsClickable(true);
    m_list->header()->setSortIndicatorShown(true);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setMinimumSectionSize(0);

    auto* remove = new QPushButton(tr("Delete"), this);
    auto* close = new QPushButton(tr("Close"), this);
    remove->setAutoDefault(false);
    close->setAutoDefault(false);
    m_original = new QLabel(this);
    m_compressed = new QLabel(this);
    m_rate = new QLabel(this);
    for (QLabel* total : {m_original, m_compressed, m_rate}) {
        total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        total->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    m_original->setMinimumWidth(Scale(90));
    m_compressed->setMinimumWidth(Scale(90));

    auto* totals = new QGridLayout;
    totals->addWidget(remove, 0, 0);
    totals->setColumnStretch(1, 1);
    totals->addWidget(new QLabel(tr("Original size:"), this), 0, 2);
    totals->addWidget(m_original, 0, 3);
    totals->addWidget(new QLabel(tr("Compressed size:"), this), 0, 4);
    totals->addWidget(m_compressed, 0, 5, 1, 2);
    totals->addWidget(close, 1, 1, Qt::AlignCenter);
    totals->addWidget(new QLabel(tr("Compression rate:"), this), 1, 4);
    totals->addWidget(m_rate, 1, 5);
    totals->addWidget(new QLabel(QStringLiteral("%"), this), 1, 6);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(totals);
    resize(Scale(660), Scale(400));

    // The columns: the name takes what the others leave.
    const int date = Scale(100), size = Scale(110);
    m_list->setColumnWidth(1, date);
    m_list->setColumnWidth(2, size);
    m_list->setColumnWidth(3, size);
    m_list->setColumnWidth(4, 0);
    const int rest = width() - layout->contentsMargins().left() -
                     layout->contentsMargins().right() - 2 * m_list->frameWidth() - date -
                     2 * size - m_list->verticalScrollBar()->sizeHint().width();
    m_list->setColumnWidth(0, std::max(rest, Scale(80)));

    connect(remove, &QPushButton::clicked, this, &CFileManageDlg::deleteSelected);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &CFileManagListCtl::deletePressed, this, &CFileManageDlg::deleteSelected);
    connect(m_list, &CFileManagListCtl::openPressed, this, &CFileManageDlg::showSelectedPicture);
    connect(m_list, &QTreeView::doubleClicked, this, &CFileManageDlg::showSelectedPicture);
    connect(m_list->header(), &QHeaderView::sectionClicked, this, &CFileManageDlg::sortBy);
    // The headings take no focus: the list's menu (menu key, Shift+F10)
    // sorts from the keyboard the same way.
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        for (int c = 0; c < kFileManageColumns; ++c) {
            QAction* action = menu.addAction(
                tr("Sort by %1")
                    .arg(m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()),
                this, [this, c] { sortBy(c); });
            action->setCheckable(true);
            action->setChecked(m_list->header()->sortIndicatorSection() == c);
        }
        menu.addSeparator();
        menu.addAction(tr("Delete"), this, &CFileManageDlg::deleteSelected);
        menu.exec(m_list->viewport()->mapToGlobal(at));
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_listFilled) updateTotals();
    });
    // The model is reset by sorting and deleting; the selection model stays.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        if (m_listFilled) updateTotals();
    });
    m_list->setDragDataFactory([this](const std::vector<int>& chosen) -> QMimeData* {
        if (!m_context.dataFile || !m_context.copies) return nullptr;
        std::vector<DraggedAttachment> files;
        for (int i : chosen) {
            const FileManageRow& row = m_model->rows()[static_cast<std::size_t>(i)];
            files.push_back({row.date, row.order});
        }
        return new AttachmentDragData(*m_context.dataFile, *m_context.copies, std::move(files));
    });

    updateTotals();
    // Ascending by the Date text, as two clicks on its heading leave it.
    m_model->clickColumn(FileManageColumn::Date);
    sortBy(static_cast<int>(FileManageColumn::Date));
    m_listFilled = true;
    m_list->setFocus();
    if (m_model->rowCount() > 0)
        m_list->selectionModel()->setCurrentIndex(m_model->index(0, 0),
                                                  QItemSelectionModel::NoUpdate);
}

void CFileManageDlg::sortBy(int column) {
    if (column < 0 || column >= kFileManageColumns) return;
    m_model->clickColumn(static_cast<FileManageColumn>(column));
    const bool ascending = m_model->sortState().direction() == FileManageSort::Direction::Ascending;
    m_list->header()->setSortIndicator(column,
                                       ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

QString CFileManageDlg::originalTotalText() const {
    return m_original->text();
}
QString CFileManageDlg::compressedTotalText() const {
    return m_compressed->text();
}
QString CFileManageDlg::rateText() const {
    return m_rate->text();
}

void CFileManageDlg::updateTotals() {
    const std::vector<int> chosen = m_list->selectedRows();
    const FileManageTotals totals = TotalsOf(m_model->rows(), chosen);
    m_original->setText(Qs(exchange::GroupedNumber(totals.original)));
    m_compressed->setText(Qs(exchange::GroupedNumber(totals.stored)));
    m_rate->setText(Qs(RateText(totals.rateTenths)));
}

void CFileManageDlg::deleteSelected() {
    res::UserInterface& ui = m_context.dataFile->ui();
    const std::vector<int> chosen = m_list->selectedRows();
    if (chosen.empty()) {
        ui.warn(res::Msg::SelectDeleteTarget);
        return;
    }
    if (!ui.askYesNo(
            res::FormatText(res::Msg::AskDeleteSelectedFile, {chosen.size() == 1 ? "" : "s"})))
        return;
    int deleted = 0;
    {
        widgets::WaitCursor wait;
        m_list->selectionModel()->clear();
        try {
            deleted = DeleteFileManageRows(*m_context.dataFile, m_model->rows(), chosen);
        } catch (...) {
            // The rows deleted before the failure are gone from the list.
            m_model->rowsChanged();
            m_deletedSomething = true;
            app::ReportFailure(ui, std::current_exception());
            return;
        }
        m_model->rowsChanged();
    }
    if (deleted > 0) m_deletedSomething = true;
    updateTotals();
}

void CFileManageDlg::showSelectedPicture() {
    const std::vector<int> chosen = m_list->selectedRows();
    if (chosen.empty() || !m_context.showPicture) return;
    const FileManageRow& row = m_model->rows()[static_cast<std::size_t>(chosen.front())];
    m_context.showPicture(row.date, row.order, this);
}

}  // namespace tl::diary
