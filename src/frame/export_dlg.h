#pragma once

#include <QDialog>
#include <array>
#include <memory>
#include <optional>

#include "app/exchange_forms.h"

class QCheckBox;
class QLineEdit;

namespace tl::frame {

class EncodingChoice;

// "Export": the folder, what to export, the encoding and the term. Start
// runs the checks; while one fails the dialog stays open with the field it
// names focused and selected.
class CExportDlg : public QDialog {
    Q_OBJECT

public:
    CExportDlg(const app::ExportForm& form, res::UserInterface& ui, QWidget* parent = nullptr);
    ~CExportDlg() override;

    // The checked request once the dialog was accepted.
    const std::optional<exchange::ExportRequest>& request() const { return m_request; }
    QLineEdit* field(app::ExportField which) const;

protected:
    void accept() override;

private:
    void createControls();
    void updateEnabling();
    app::ExportForm form() const;

    res::UserInterface& m_ui;
    QLineEdit* m_folder = nullptr;
    QCheckBox* m_texts = nullptr;
    QCheckBox* m_attachments = nullptr;
    std::unique_ptr<EncodingChoice> m_encoding;
    QCheckBox* m_specify = nullptr;
    QWidget* m_dateFields = nullptr;
    // In the order of app::ExportField after the folder.
    std::array<QLineEdit*, 6> m_dates{};
    std::optional<exchange::ExportRequest> m_request;
};

}  // namespace tl::frame
