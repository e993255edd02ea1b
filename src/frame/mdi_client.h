#pragma once

#include <QMdiArea>

#include "app/app_settings.h"

namespace tl::frame {

// The area of the entry windows. Where no entry covers it (no entry is
// open) it paints an empty tab strip and the main window's background
// colour, so the window looks the same with and without entries.
class CMDIClient : public QMdiArea {
    Q_OBJECT

public:
    CMDIClient(const app::AppSettings& settings, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const app::AppSettings& m_settings;
};

}  // namespace tl::frame
