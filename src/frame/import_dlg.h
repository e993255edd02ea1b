#pragma once

#include <QDialog>
#include <memory>
#include <optional>

#include "app/exchange_forms.h"

class QLineEdit;

namespace tl::frame {

class EncodingChoice;

// "Import": the folder to read and the encoding of its text files. Start
// needs an existing folder; "Import from other apps" opens the guide's
// description of the folder layout.
class CImportDlg : public QDialog {
    Q_OBJECT

public:
    CImportDlg(const app::ImportForm& form, res::UserInterface& ui, QWidget* parent = nullptr);
    ~CImportDlg() override;

    // The checked folder (without trailing separator) and the encoding,
    // once accepted.
    const std::string& folder() const { return m_folder; }
    exchange::Encoding encoding() const;
    QLineEdit* folderField() const { return m_location; }

protected:
    void accept() override;

private:
    void createControls();

    res::UserInterface& m_ui;
    QLineEdit* m_location = nullptr;
    std::unique_ptr<EncodingChoice> m_encoding;
    std::string m_folder;
};

}  // namespace tl::frame
