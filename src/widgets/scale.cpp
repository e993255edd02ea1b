#include "widgets/scale.h"

#include <QGuiApplication>
#include <QScreen>

namespace tl::widgets {
namespace {
int g_dpi = 0;  // 0: not read yet
}

int ScaleDpi() {
    if (g_dpi == 0) {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) return 96;
        g_dpi = static_cast<int>(screen->logicalDotsPerInchY());
        if (g_dpi <= 0) g_dpi = 96;
    }
    return g_dpi;
}

int Scale(int n) {
    return ScaleAt(n, ScaleDpi());
}

void SetScaleDpi(int dpi) {
    g_dpi = dpi;
}

}  // namespace tl::widgets
