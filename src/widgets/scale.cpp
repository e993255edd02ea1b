#include "widgets/scale.h"

#include <QGuiApplication>
#include <QScreen>

namespace tl::widgets {
namespace {
int g_dpi = 0;  // 0: not read yet
}

int Scale(int n) {
    if (g_dpi == 0) {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) return n;
        g_dpi = static_cast<int>(screen->logicalDotsPerInchY());
        if (g_dpi <= 0) g_dpi = 96;
    }
    return ScaleAt(n, g_dpi);
}

void SetScaleDpi(int dpi) {
    g_dpi = dpi;
}

}  // namespace tl::widgets
