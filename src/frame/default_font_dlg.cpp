#include "default_font_dlg.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "widgets/dialog_parts.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::frame {

using widgets::Scale;

QFont DefaultFontOf(const app::AppSettings& settings) {
    const auto& f = settings.font;
    QFont font(QString::fromStdString(f.name));
    font.setPointSizeF(std::max(f.height, 10) / 10.0);
    font.setWeight(static_cast<QFont::Weight>(std::clamp(f.weight, 1, 1000)));
    font.setItalic(f.italic != 0);
    font.setUnderline(f.underline != 0);
    font.setStrikeOut(f.strikeOut != 0);
    return font;
}

CDefaultFontDlg::CDefaultFontDlg(app::AppSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setWindowTitle(tr("Default font Settings"));
    // The chooser is a dialog of its own; here it is one part of this one.
    m_chooser = new QFontDialog(DefaultFontOf(settings), this);
    m_chooser->setWindowFlags(Qt::Widget);
    m_chooser->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_colorButton = new QPushButton(tr("C&olor..."), this);
    connect(m_colorButton, &QPushButton::clicked, this, &CDefaultFontDlg::chooseColor);
    setColor(widgets::ToQColor(static_cast<std::uint32_t>(settings.font.color)));

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(m_colorButton);
    colorRow->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_chooser);
    layout->addLayout(colorRow);
    layout->addWidget(widgets::OkCancelButtons(this));
}

void CDefaultFontDlg::setColor(const QColor& color) {
    m_color = color;
    // The button shows the colour as a framed swatch.
    const int side = Scale(14);
    QPixmap swatch(side, side);
    swatch.fill(color);
    QPainter p(&swatch);
    p.setPen(QColor(128, 128, 128));
    p.drawRect(0, 0, side - 1, side - 1);
    m_colorButton->setIcon(swatch);
}

void CDefaultFontDlg::chooseColor() {
    const QColor chosen = QColorDialog::getColor(m_color, this, tr("Text color"));
    if (chosen.isValid()) setColor(chosen);
}

void CDefaultFontDlg::accept() {
    const QFont chosen = m_chooser->currentFont();
    auto& out = m_settings.font;
    out.name = chosen.family().toStdString();
    // Tenths of a point; the chooser's sizes are whole or half points.
    out.height = static_cast<int>(std::lround(chosen.pointSizeF() * 10));
    out.weight = chosen.weight();
    out.italic = chosen.italic() ? 1 : 0;
    out.underline = chosen.underline() ? 1 : 0;
    out.strikeOut = chosen.strikeOut() ? 1 : 0;
    out.color = static_cast<app::Color>(widgets::FromQColor(m_color));
    // FONT WIDTH has no control here (the chooser has no width); the
    // stored value goes back unchanged.
    QDialog::accept();
}

}  // namespace tl::frame
