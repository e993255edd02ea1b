#pragma once

// The edit bar's colour choice popup: "Auto", fifteen swatches and
// "Other...". The item under the pointer (or reached with the arrow keys)
// is highlighted; a button release or Enter picks it and closes the popup,
// Esc or a click elsewhere closes it without a choice.

#include <QWidget>

#include "color_pick_layout.h"

namespace tl::frame {

class CColorPickWnd : public QWidget {
    Q_OBJECT

public:
    explicit CColorPickWnd(QWidget* parent = nullptr);

    // Shows the popup with its top left corner at the global point.
    void popup(QPoint topLeft);
    int hoverItem() const { return m_hover; }
    const ColorPickLayout& layout() const { return m_layout; }

signals:
    // An item was chosen (0 Auto, 1 to 15 a swatch, 16 Other...).
    void picked(int item);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setHover(int item);
    void pick(int item);

    ColorPickLayout m_layout;
    int m_hover = -1;
};

}  // namespace tl::frame
