#include "appearance_dlg.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

#include "diary/color_setting_dlg.h"
#include "rate_spin.h"
#include "res/user_interface.h"
#include "widgets/color_preview.h"
#include "widgets/dialog_parts.h"
#include "widgets/field_number.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::frame {

using widgets::Scale;
using widgets::ToQColor;

namespace {

CAppearanceDlg* g_active = nullptr;

QString qText(res::Msg id) {
    const std::string_view text = res::Text(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// A colour the dialog edits, shown the way it will look: an edit field's
// frame filled with the colour and a caption in the text colour, pushed
// one pixel down and right while pressed, outlined while it has the focus
// or the pointer.
class CAppearanceDlg::ColorButton : public QAbstractButton {
public:
    using Colors = sticky::BlinkPhase::Colors;
    ColorButton(const QString& caption, std::function<Colors()> colors,
                const sticky::BlinkPhase* blink, QWidget* parent)
        : QAbstractButton(parent), m_colors(std::move(colors)), m_blink(blink) {
        setText(caption);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_Hover);
        setAccessibleName(caption);
    }
    QSize sizeHint() const override {
        const int text = fontMetrics().horizontalAdvance(QString(text_()).remove(u'&'));
        return QSize(std::max(Scale(130), text + Scale(20)), Scale(26));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const Colors shown = m_colors();
        const QRect inside = widgets::PaintColorPreview(
            p, *this, {shown.background, shown.text, !m_blink || !m_blink->textHidden()}, text_(),
            Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, {},
            isDown() ? QPoint(1, 1) : QPoint());
        if (hasFocus() || underMouse()) {
            // An outline that shows on any fill: black and white dashes.
            p.setPen(QPen(Qt::white, 1));
            p.drawRect(inside.adjusted(1, 1, -2, -2));
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.drawRect(inside.adjusted(1, 1, -2, -2));
        }
    }

private:
    QString text_() const { return QAbstractButton::text(); }

    std::function<Colors()> m_colors;
    const sticky::BlinkPhase* m_blink;
};

CAppearanceDlg::CAppearanceDlg(const Appearance& values, bool layeredWindows,
                               res::UserInterface& ui, std::function<void(QWidget*)> editChoices,
                               QWidget* parent)
    : QDialog(parent),
      m_values(values),
      m_layered(layeredWindows),
      m_ui(ui),
      m_runEditChoices(std::move(editChoices)) {
    setWindowTitle(tr("Display settings"));
    m_blink.setKind(values.defaultTitle.blink);
    createControls();

    (values.sideBarLeft != 0 ? m_left : m_right)->setChecked(true);
    m_translucent->setChecked(values.translucent != 0);
    m_reduction->setChecked(values.pictureReduction != 0);
    m_weekday->setChecked(values.weekdayOnTabs != 0);
    m_weather->setChecked(values.weatherShown != 0);
    m_onThisDay->setChecked(values.onThisDayAtStart != 0);
    (values.oneRateForAll != 0 ? m_collective : m_individual)->setChecked(true);
    m_rate->setText(QString::number(values.translucentRate));
    m_blinkCycle->setText(QString::number(values.blinkInterval));
    (values.colorSpecified != 0 ? m_specified : m_system)->setChecked(true);
    updateEnabling();
    g_active = this;
}

CAppearanceDlg::~CAppearanceDlg() {
    if (g_active == this) g_active = nullptr;
}

CAppearanceDlg* CAppearanceDlg::active() {
    return g_active;
}

void CAppearanceDlg::createControls() {
    // Tabs.
    m_weekday = new QCheckBox(tr("Include day of the &week to tab"), this);

    // Sticky notes.
    auto* notes = new QGroupBox(tr("Sticky note"), this);
    m_translucent = new QCheckBox(tr("&Transparent sticky note "), notes);
    m_rateGroup = new QGroupBox(tr("Transparent rate"), notes);
    m_individual = new QRadioButton(tr("&Individual"), m_rateGroup);
    m_collective = new QRadioButton(tr("C&ollective"), m_rateGroup);
    m_rateLabel = new QLabel(tr("&Rate"), m_rateGroup);
    m_rate = new CRateSpin(m_rateGroup);
    m_rateLabel->setBuddy(m_rate);
    m_percent = new QLabel(QStringLiteral("%"), m_rateGroup);
    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(m_rateLabel);
    rateRow->addWidget(m_rate);
    rateRow->addWidget(m_percent);
    rateRow->addStretch();
    auto* rateLayout = new QVBoxLayout(m_rateGroup);
    auto* choiceRow = new QHBoxLayout;
    choiceRow->addWidget(m_individual);
    choiceRow->addWidget(m_collective);
    choiceRow->addStretch();
    rateLayout->addLayout(choiceRow);
    rateLayout->addLayout(rateRow);
    auto* notesLayout = new QVBoxLayout(notes);
    notesLayout->addWidget(m_translucent);
    notesLayout->addWidget(m_rateGroup);

    // Pictures.
    m_reduction = new QCheckBox(tr("&Picture auto reduction"), this);

    // Title colours and their blink.
    auto* titles = new QGroupBox(tr("Title"), this);
    m_titleButton = new ColorButton(
        qText(res::Msg::DefaultTitleColor),
        [this] {
            const auto& c = m_values.defaultTitle;
            return m_blink.shownColors(c.text, c.backgroundOn != 0, c.background);
        },
        &m_blink, titles);
    m_blinkCycle = widgets::NumberEdit(4, titles);
    m_blinkCycle->setInputMethodHints(Qt::ImhDigitsOnly);
    auto* blinkLabel = new QLabel(tr("&Blinking cycle"), titles);
    blinkLabel->setBuddy(m_blinkCycle);
    auto* blinkRow = new QHBoxLayout;
    blinkRow->addWidget(blinkLabel);
    blinkRow->addWidget(m_blinkCycle);
    blinkRow->addWidget(new QLabel(tr("msec"), titles));
    blinkRow->addStretch();
    auto* titleLayout = new QVBoxLayout(titles);
    titleLayout->addWidget(m_titleButton);
    titleLayout->addLayout(blinkRow);

    // The editor's background.
    auto* text = new QGroupBox(tr("Text"), this);
    m_specified = new QRadioButton(tr("&Use this background:"), text);
    m_system = new QRadioButton(tr("Use the s&ystem colors"), text);
    m_backButton = new ColorButton(
        qText(res::Msg::BackColor),
        [this] {
            return ColorButton::Colors{static_cast<std::uint32_t>(m_values.editorBack), 0};
        },
        nullptr, text);
    m_backButton->setToolTip(tr("Text background color"));
    auto* textLayout = new QGridLayout(text);
    textLayout->addWidget(m_specified, 0, 0);
    textLayout->addWidget(m_backButton, 0, 1);
    textLayout->addWidget(m_system, 1, 0, 1, 2);

    // Weather.
    auto* weather = new QGroupBox(tr("Weather"), this);
    m_weather = new QCheckBox(tr("&Display weather"), weather);
    m_editChoices = new QPushButton(tr("&Edit choices"), weather);
    auto* weatherLayout = new QHBoxLayout(weather);
    weatherLayout->addWidget(m_weather);
    weatherLayout->addStretch();
    weatherLayout->addWidget(m_editChoices);

    // The side bar.
    auto* side = new QGroupBox(tr("Position of side bar"), this);
    m_left = new QRadioButton(tr("&Left"), side);
    m_right = new QRadioButton(tr("Ri&ght"), side);
    auto* sideLayout = new QHBoxLayout(side);
    sideLayout->addWidget(m_left);
    sideLayout->addWidget(m_right);
    sideLayout->addStretch();

    auto* leftColumn = new QVBoxLayout;
    leftColumn->addWidget(titles);
    leftColumn->addWidget(text);
    leftColumn->addWidget(m_weekday);
    leftColumn->addWidget(m_reduction);
    m_onThisDay = new QCheckBox(tr("Show \"O&n this day\" at start-up"), this);
    leftColumn->addWidget(m_onThisDay);
    leftColumn->addStretch();
    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(notes);
    rightColumn->addWidget(weather);
    rightColumn->addWidget(side);
    rightColumn->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(leftColumn);
    columns->addLayout(rightColumn);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(columns);
    layout->addWidget(widgets::OkCancelButtons(this));

    for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{
             m_translucent, m_individual, m_collective, m_specified, m_system, m_weather})
        connect(button, &QAbstractButton::clicked, this, &CAppearanceDlg::updateEnabling);
    connect(m_titleButton, &QAbstractButton::clicked, this, &CAppearanceDlg::chooseTitleColors);
    connect(m_backButton, &QAbstractButton::clicked, this, &CAppearanceDlg::chooseBackColor);
    connect(m_editChoices, &QPushButton::clicked, this, [this] {
        if (m_runEditChoices) m_runEditChoices(this);
    });
}

QLineEdit* CAppearanceDlg::rateEdit() const {
    return m_rate->findChild<QLineEdit*>();
}

void CAppearanceDlg::updateEnabling() {
    const AppearanceEnabling e = EnablingOf(m_layered, m_translucent->isChecked(),
                                            m_collective->isChecked(), m_weather->isChecked());
    m_translucent->setEnabled(e.translucentBox);
    m_rateGroup->setEnabled(e.rateChoice);
    m_individual->setEnabled(e.rateChoice);
    m_collective->setEnabled(e.rateChoice);
    m_rateLabel->setEnabled(e.rateEdit);
    m_rate->setEnabled(e.rateEdit);
    m_percent->setEnabled(e.rateEdit);
    m_editChoices->setEnabled(e.editChoices);
}

void CAppearanceDlg::blinkTick(bool phaseOn) {
    if (m_blink.tick(phaseOn)) m_titleButton->update();
}

bool CAppearanceDlg::previewPhase() const {
    return m_blink.textHidden() || m_blink.inverted();
}

void CAppearanceDlg::setDefaultTitle(const store::TitleColors& colors) {
    m_values.defaultTitle = colors;
    m_blink.setKind(colors.blink);  // the preview starts in its visible phase
    m_titleButton->update();
}

void CAppearanceDlg::setEditorBack(app::Color color) {
    m_values.editorBack = color;
    m_backButton->update();
}

void CAppearanceDlg::chooseTitleColors() {
    diary::CColorSettingDlg dialog(this);
    dialog.setPreviewText(qText(res::Msg::Sample));
    dialog.setColors(m_values.defaultTitle);
    if (dialog.exec() == QDialog::Accepted) setDefaultTitle(dialog.colors());
}

void CAppearanceDlg::chooseBackColor() {
    const QColor chosen =
        QColorDialog::getColor(ToQColor(static_cast<std::uint32_t>(m_values.editorBack)), this,
                               tr("Text background color"));
    if (chosen.isValid()) setEditorBack(static_cast<app::Color>(widgets::FromQColor(chosen)));
}

Appearance CAppearanceDlg::values() const {
    Appearance v = m_values;
    v.sideBarLeft = m_left->isChecked() ? 1 : 0;
    v.translucent = m_translucent->isChecked() ? 1 : 0;
    v.translucentRate = widgets::ReadFieldNumber(m_rate->text().toStdU16String());
    v.oneRateForAll = m_collective->isChecked() ? 1 : 0;
    v.pictureReduction = m_reduction->isChecked() ? 1 : 0;
    v.blinkInterval = widgets::ReadFieldNumber(m_blinkCycle->text().toStdU16String());
    v.weekdayOnTabs = m_weekday->isChecked() ? 1 : 0;
    v.colorSpecified = m_specified->isChecked() ? 1 : 0;
    v.weatherShown = m_weather->isChecked() ? 1 : 0;
    v.onThisDayAtStart = m_onThisDay->isChecked() ? 1 : 0;
    return v;
}

void CAppearanceDlg::accept() {
    const std::optional<AppearanceFault> fault =
        CheckAppearance(m_rate->text().toStdU16String(), m_blinkCycle->text().toStdU16String());
    if (fault) {
        m_ui.warn(fault->message);
        QLineEdit* field = fault->field == AppearanceField::Rate ? rateEdit() : m_blinkCycle;
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return;
    }
    QDialog::accept();
}

}  // namespace tl::frame
