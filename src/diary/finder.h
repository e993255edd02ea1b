#pragma once

// Find across days in the desktop program: the commands Find, Find Next
// and Find Previous, the search inside the open entry and the step to the
// nearest matching date, and the find dialog with its hit list.

#include <QObject>
#include <QPointer>

#include "diary_documents.h"
#include "find_rules.h"
#include "res/command_target.h"

class QWidget;

namespace tl::diary {

class CFindDlg;
class CMarlowDoc;

class CFinder : public QObject, public res::CommandTarget {
    Q_OBJECT

public:
    // The dialog is created hidden, owned by the main window.
    CFinder(DiaryContext context, CDiaryDocuments& documents, QWidget* mainWindow,
            QObject* parent = nullptr);
    ~CFinder() override;

    bool isEnabled(res::Cmd cmd) const override;
    void run(res::Cmd cmd) override;

    CFindDlg* dialog() const;
    // Searches with the stored settings: the open entry from its active
    // pane, then, with "Across day" or without an open entry, the nearest
    // matching date. Tells "Specified text was not found." when nothing is.
    void Find(bool forward);
    // Opens the date of a row of the hit list and selects its match.
    void openHit(int row);
    // The data file was opened or replaced: the hit list is stale.
    void dataFileReloaded();

private:
    void showDialog();
    EntryView viewOf(CMarlowDoc* doc, std::u16string& title, std::u16string& text) const;
    void select(CMarlowDoc* doc, const EntryMatch& match);
    // Selects the match of the found record's kind in the entry just opened.
    void arrive(CMarlowDoc* doc, std::uint8_t kind, const store::SearchRule& rule, bool forward);

    DiaryContext m_context;
    CDiaryDocuments& m_documents;
    QPointer<CFindDlg> m_dialog;
    bool m_searching = false;
};

}  // namespace tl::diary
