#pragma once

#include <QPointer>
#include <functional>
#include <optional>
#include <string>

#include "app/app_dialogs.h"
#include "res/user_interface.h"

class QWidget;

namespace tl::frame {

// The dialogs the start-up asks for, as windows over the main window.
class DesktopDialogs final : public app::AppDialogs {
public:
    using DefaultFolder = std::function<std::optional<std::string>()>;

    explicit DesktopDialogs(res::UserInterface& ui) : m_ui(ui) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    // Where "Open folder" of the default choice looks.
    void setDefaultFolder(DefaultFolder defaultFolder) {
        m_defaultFolder = std::move(defaultFolder);
    }

    bool editDataFileSettings(app::DataFileSettingsForm& form) override;
    app::PasswordReply askPassword(bool offerDataFileSetting) override;
    std::optional<std::size_t> chooseBackup(const std::vector<app::BackupCopy>& copies) override;

private:
    res::UserInterface& m_ui;
    QPointer<QWidget> m_parent;
    DefaultFolder m_defaultFolder;
};

}  // namespace tl::frame
