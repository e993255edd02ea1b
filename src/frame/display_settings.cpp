#include "display_settings.h"

#include <QApplication>

#include "appearance.h"
#include "appearance_dlg.h"
#include "diary/diary_documents.h"
#include "main_frame.h"
#include "mdi_client.h"

namespace tl::frame {

CDisplaySettings::CDisplaySettings(CMainFrame& frame) : QObject(&frame), m_frame(frame) {
    m_frame.commands().add(*this, {res::Cmd::DisplaySettings});
}

CDisplaySettings::~CDisplaySettings() {
    m_frame.commands().remove(*this);
}

bool CDisplaySettings::layeredWindows() {
    // The offscreen platform draws no window at all, translucent or not.
    return QApplication::platformName() != QStringLiteral("offscreen");
}

bool CDisplaySettings::isEnabled(res::Cmd) const {
    return true;
}

void CDisplaySettings::run(res::Cmd) {
    CAppearanceDlg dialog(
        AppearanceOf(m_frame.settings()), layeredWindows(), m_frame.ui(),
        [this](QWidget* parent) { m_frame.documents().editWeatherChoices(parent); }, &m_frame);
    if (dialog.exec() == QDialog::Accepted) apply(dialog.values());
}

void CDisplaySettings::apply(const Appearance& values) {
    const AppearanceChanges changes = StoreAppearance(values, m_frame.settings());
    m_frame.restartBlinkTimer();
    if (changes.translucency) emit translucencyChanged();
    if (changes.sideBarSide) m_frame.dockSideBar(values.sideBarLeft != 0);
    m_frame.documents().applyDisplaySettings(changes.weekdayOnTabs);
    m_frame.mdiArea()->viewport()->update();
    m_frame.update();
}

}  // namespace tl::frame
