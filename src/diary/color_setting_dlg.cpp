#include "color_setting_dlg.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

#include "res/messages.h"
#include "widgets/dialog_parts.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::diary {

using widgets::FromQColor;
using widgets::Scale;
using widgets::ToQColor;

namespace {
CColorSettingDlg* g_active = nullptr;
}

class CColorSettingDlg::Preview : public QWidget {
public:
    explicit Preview(CColorSettingDlg& dialog) : QWidget(&dialog), m_dialog(dialog) {
        setMinimumSize(Scale(220), Scale(24));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &p, this);
        QRect inside = rect().adjusted(2, 2, -2, -2);
        const auto& c = m_dialog.m_colors;
        const TitleBlink::Colors shown = m_dialog.m_blink.shownColors(
            c.text, m_dialog.m_backgroundOn->isChecked(), c.background);
        p.fillRect(inside, ToQColor(shown.background));
        if (m_dialog.m_blink.textHidden()) return;
        p.setPen(ToQColor(shown.text));
        p.drawText(inside.adjusted(Scale(4), 0, 0, 0),
                   Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, m_dialog.m_previewText);
    }

private:
    CColorSettingDlg& m_dialog;
};

CColorSettingDlg::CColorSettingDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Color settings"));
    m_preview = new Preview(*this);
    auto* textButton = new QPushButton(tr("&Text color"), this);
    m_backgroundOn = new QCheckBox(tr("&Enable background color"), this);
    m_backgroundButton = new QPushButton(tr("&Background color"), this);
    m_blinkText = new QCheckBox(tr("B&link text"), this);
    m_blinkBoth = new QCheckBox(tr("Blink text &and background"), this);
    QDialogButtonBox* buttons = widgets::OkCancelButtons(this);

    auto* grid = new QGridLayout;
    grid->addWidget(textButton, 0, 0);
    grid->addWidget(m_backgroundOn, 1, 0);
    grid->addWidget(m_backgroundButton, 1, 1);
    grid->addWidget(m_blinkText, 2, 0);
    grid->addWidget(m_blinkBoth, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_preview);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    connect(textButton, &QPushButton::clicked, this, [this] { chooseColor(m_colors.text); });
    connect(m_backgroundButton, &QPushButton::clicked, this,
            [this] { chooseColor(m_colors.background); });
    connect(m_backgroundOn, &QCheckBox::toggled, this, [this] { updateControls(); });
    connect(m_blinkText, &QCheckBox::clicked, this, &CColorSettingDlg::setBlinkText);
    connect(m_blinkBoth, &QCheckBox::clicked, this, &CColorSettingDlg::setBlinkTextAndBackground);
    setPreviewText({});
    updateControls();
    g_active = this;
}

CColorSettingDlg::~CColorSettingDlg() {
    if (g_active == this) g_active = nullptr;
}

CColorSettingDlg* CColorSettingDlg::active() {
    return g_active;
}

void CColorSettingDlg::setPreviewText(const QString& text) {
    m_previewText = text.isEmpty() ? QString::fromUtf8(res::Text(res::Msg::Sample)) : text;
    m_preview->update();
}

void CColorSettingDlg::setColors(const store::TitleColors& colors) {
    m_colors = colors;
    m_backgroundOn->setChecked(colors.backgroundOn != 0);
    m_blinkText->setChecked(colors.blink == 1);
    m_blinkBoth->setChecked(colors.blink == 2);
    m_blink.setKind(colors.blink);
    updateControls();
}

store::TitleColors CColorSettingDlg::colors() const {
    store::TitleColors c = m_colors;
    c.backgroundOn = m_backgroundOn->isChecked() ? 1 : 0;
    c.blink = m_blinkText->isChecked() ? 1 : m_blinkBoth->isChecked() ? 2 : 0;
    return c;
}

void CColorSettingDlg::setBlinkText(bool on) {
    m_blinkText->setChecked(on);
    if (on) m_blinkBoth->setChecked(false);
    m_colors.blink = on ? 1 : 0;
    m_blink.setKind(m_colors.blink);
    m_preview->update();
}

void CColorSettingDlg::setBlinkTextAndBackground(bool on) {
    m_blinkBoth->setChecked(on);
    if (on) m_blinkText->setChecked(false);
    m_colors.blink = on ? 2 : 0;
    m_blink.setKind(m_colors.blink);
    m_preview->update();
}

void CColorSettingDlg::blinkTick(bool phaseOn) {
    if (m_blink.tick(phaseOn)) m_preview->update();
}

void CColorSettingDlg::chooseColor(std::uint32_t& color) {
    QColor chosen = QColorDialog::getColor(ToQColor(color), this);
    if (!chosen.isValid()) return;
    color = FromQColor(chosen);
    m_preview->update();
}

void CColorSettingDlg::updateControls() {
    m_backgroundButton->setEnabled(m_backgroundOn->isChecked());
    m_preview->update();
}

}  // namespace tl::diary
