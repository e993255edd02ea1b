#include "mdi_client.h"

#include <QPainter>

#include "diary/colors.h"
#include "diary/scale.h"

namespace tl::frame {

using diary::Scale;

namespace {

// The tab strip's colour and the line under it.
constexpr std::uint32_t kTabStripColor = 0xFFF0F0;
constexpr std::uint32_t kTabLineColor = 0x808080;
// The tab strip's height at 96 dots per inch.
constexpr int kTabStripHeight = 23;

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
    const int strip = Scale(kTabStripHeight);
    // Rows T and T + 2 take the strip's colour, so the line stands alone.
    painter.fillRect(0, 0, width, strip + 3, diary::ToQColor(kTabStripColor));
    painter.fillRect(0, strip + 1, width, 1, diary::ToQColor(kTabLineColor));
    painter.fillRect(0, strip + 3, width, height - strip - 3,
                     diary::ToQColor(static_cast<std::uint32_t>(m_settings.mainWindow.backColor)));
}

}  // namespace tl::frame
