#include "mdi_client.h"

#include <QPainter>

#include "diary/tab_strip.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::frame {

using widgets::Scale;

namespace {

// The line under the tab strip.
constexpr std::uint32_t kTabLineColor = 0x808080;

}  // namespace

CMDIClient::CMDIClient(const app::AppSettings& settings, QWidget* parent)
    : QMdiArea(parent), m_settings(settings) {
    setViewMode(QMdiArea::SubWindowView);
    setFrameShape(QFrame::NoFrame);
}

void CMDIClient::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int width = viewport()->width();
    const int height = viewport()->height();
    const int strip = Scale(diary::kTabStripHeight);
    // Rows T and T + 2 take the strip's colour, so the line stands alone.
    painter.fillRect(0, 0, width, strip + 3, widgets::ToQColor(diary::kTabStripColor));
    painter.fillRect(0, strip + 1, width, 1, widgets::ToQColor(kTabLineColor));
    painter.fillRect(
        0, strip + 3, width, height - strip - 3,
        widgets::ToQColor(static_cast<std::uint32_t>(m_settings.mainWindow.backColor)));
}

}  // namespace tl::frame
