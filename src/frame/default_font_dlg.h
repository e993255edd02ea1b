#pragma once

// "Default font Settings": the face, size, style, effects and colour that
// every new editor starts with. Qt's font chooser has no colour, so this
// dialog holds the chooser with a colour button under it.

#include <QDialog>

#include "app/app_settings.h"

class QFontDialog;
class QPushButton;

namespace tl::frame {

class CDefaultFontDlg : public QDialog {
    Q_OBJECT

public:
    // Preset from the FONT settings; OK writes them back (accept()).
    CDefaultFontDlg(app::AppSettings& settings, QWidget* parent = nullptr);

    QFontDialog* chooser() const { return m_chooser; }
    QColor color() const { return m_color; }
    void setColor(const QColor& color);

protected:
    void accept() override;

private:
    void chooseColor();

    app::AppSettings& m_settings;
    QFontDialog* m_chooser;
    QPushButton* m_colorButton;
    QColor m_color;
};

// The font the FONT settings describe: face, size in points, weight, flags.
QFont DefaultFontOf(const app::AppSettings& settings);

}  // namespace tl::frame
