#pragma once

// "Management attached files": every attachment of the data file in one
// sortable list, with the totals of the selection (or of all), the viewer
// on a picture, dragging files out and deleting. The list is a view over
// the table of file_manage_table.h; the command around the dialog closes
// the open entries first and compacts the data file after a deletion.

#include <QAbstractTableModel>
#include <QDialog>
#include <QTreeView>
#include <functional>
#include <vector>

#include "file_manage_table.h"

class QLabel;
class QPushButton;

namespace tl::app {
class TempFileList;
}
namespace tl::store {
class CDiaryDataFile;
}

namespace tl::diary {

// The rows in their shown order, as a model for the list.
class FileManageModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit FileManageModel(std::vector<FileManageRow> rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // A heading clicked: the rows in the new order.
    void clickColumn(FileManageColumn column);
    const FileManageSort& sortState() const { return m_sort; }
    std::vector<FileManageRow>& rows() { return m_rows; }
    const std::vector<FileManageRow>& rows() const { return m_rows; }
    // After rows were removed from rows().
    void rowsChanged();

private:
    std::vector<FileManageRow> m_rows;
    FileManageSort m_sort;
};

// The list: a report view whose drag carries the selected rows' files.
class CFileManagListCtl : public QTreeView {
    Q_OBJECT

public:
    using DragDataFactory = std::function<QMimeData*(const std::vector<int>& rows)>;
    explicit CFileManagListCtl(QWidget* parent = nullptr);
    void setDragDataFactory(DragDataFactory factory) { m_dragData = std::move(factory); }
    // The selected rows in list order.
    std::vector<int> selectedRows() const;

signals:
    void deletePressed();
    void openPressed();

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    DragDataFactory m_dragData;
};

class CFileManageDlg : public QDialog {
    Q_OBJECT

public:
    struct Context {
        store::CDiaryDataFile* dataFile = nullptr;
        // Where copies of dragged files are listed for removal at exit.
        app::TempFileList* copies = nullptr;
        // The viewer on a dated picture; false when there is none.
        std::function<bool(store::Date date, std::uint32_t order, QWidget* parent)> showPicture;
    };

    CFileManageDlg(Context context, std::vector<FileManageRow> rows, QWidget* parent = nullptr);

    bool deletedSomething() const { return m_deletedSomething; }
    CFileManagListCtl* list() const { return m_list; }
    const FileManageModel& model() const { return *m_model; }
    QString originalTotalText() const;
    QString compressedTotalText() const;
    QString rateText() const;

    // The Delete button and the Delete key: asks, then deletes the
    // selected rows' attachments.
    void deleteSelected();
    // A double click or Enter: the first selected row's picture.
    void showSelectedPicture();

private:
    void updateTotals();
    void sortBy(int column);

    Context m_context;
    FileManageModel* m_model;
    CFileManagListCtl* m_list;
    QLabel* m_original;
    QLabel* m_compressed;
    QLabel* m_rate;
    bool m_deletedSomething = false;
    bool m_listFilled = false;
};

}  // namespace tl::diary
