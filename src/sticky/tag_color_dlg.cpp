#include "tag_color_dlg.h"

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
#include <QVBoxLayout>
#include <array>

#include "res/messages.h"
#include "res/user_interface.h"
#include "widgets/color_preview.h"
#include "widgets/dialog_parts.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::sticky {

namespace {

using widgets::Scale;
using widgets::ToQColor;

CTagColorDlg* g_active = nullptr;

// A number field without the input method: typing digits needs none.
QLineEdit* DateEdit(int maxLength, QWidget* parent) {
    QLineEdit* edit = widgets::NumberEdit(maxLength, parent);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    return edit;
}

}  // namespace

// The note's text in its colours, in an edit-shaped frame.
class CTagColorDlg::Preview : public QWidget {
public:
    explicit Preview(CTagColorDlg& dialog) : QWidget(&dialog), m_dialog(dialog) {
        setMinimumSize(Scale(220), Scale(24));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const BlinkPhase& blink = m_dialog.m_blink;
        const BlinkPhase::Colors shown =
            blink.shownColors(m_dialog.m_colors.text, true, m_dialog.m_colors.back);
        widgets::PaintColorPreview(
            p, *this, {shown.background, shown.text, !blink.textHidden()}, m_dialog.m_previewText,
            Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, QMargins(Scale(4), 0, 0, 0));
    }

private:
    CTagColorDlg& m_dialog;
};

CTagColorDlg::CTagColorDlg(const QString& previewText, Colors colors, const BlinkSettings& blink,
                           res::UserInterface& ui, QWidget* parent)
    : QDialog(parent), m_ui(ui), m_colors(colors), m_settings(blink) {
    setWindowTitle(tr("Color settings"));
    m_previewText =
        previewText.isEmpty() ? QString::fromUtf8(res::Text(res::Msg::Sample)) : previewText;
    m_preview = new Preview(*this);
    auto* textButton = new QPushButton(tr("&Text color"), this);
    auto* backButton = new QPushButton(tr("&Background color"), this);
    auto* blinkGroup = new QGroupBox(tr("Blink Settings"), this);
    m_blinkText = new QCheckBox(tr("B&link text"), blinkGroup);
    m_blinkBoth = new QCheckBox(tr("Blink text &and background"), blinkGroup);
    m_toggle = new QPushButton(this);
    m_term = new QGroupBox(tr("Term"), this);
    m_start = makeDateEdits(tr("&Start date"), blink.fromEnabled, blink.from);
    m_end = makeDateEdits(tr("&End date"), blink.toEnabled, blink.to);
    QDialogButtonBox* buttons = widgets::OkCancelButtons(this);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(textButton);
    colorRow->addWidget(backButton);
    auto* blinkLayout = new QVBoxLayout(blinkGroup);
    blinkLayout->addWidget(m_blinkText);
    blinkLayout->addWidget(m_blinkBoth);
    blinkLayout->addWidget(m_toggle, 0, Qt::AlignRight);
    auto* termLayout = new QGridLayout(m_term);
    int row = 0;
    for (const DateEdits& d : {m_start, m_end}) {
        termLayout->addWidget(d.box, row, 0);
        termLayout->addWidget(d.month, row, 1);
        termLayout->addWidget(new QLabel(QStringLiteral("-"), m_term), row, 2);
        termLayout->addWidget(d.day, row, 3);
        termLayout->addWidget(new QLabel(QStringLiteral("-"), m_term), row, 4);
        termLayout->addWidget(d.year, row, 5);
        termLayout->addWidget(new QLabel(tr("day"), m_term), row, 6);
        ++row;
    }
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // follows the term's showing
    layout->addWidget(m_preview);
    layout->addLayout(colorRow);
    layout->addWidget(blinkGroup);
    layout->addWidget(m_term);
    layout->addWidget(buttons);

    connect(textButton, &QPushButton::clicked, this, [this] { chooseColor(m_colors.text); });
    connect(backButton, &QPushButton::clicked, this, [this] { chooseColor(m_colors.back); });
    connect(m_blinkText, &QCheckBox::clicked, this, &CTagColorDlg::setBlinkText);
    connect(m_blinkBoth, &QCheckBox::clicked, this, &CTagColorDlg::setBlinkTextAndBackground);
    connect(m_toggle, &QPushButton::clicked, this, [this] { setExpanded(!m_expanded); });
    for (QCheckBox* box : {m_start.box, m_end.box})
        connect(box, &QCheckBox::toggled, this, [this] { updateControls(); });

    setKind(blink.kind);
    m_expanded = blink.fromEnabled || blink.toEnabled;
    updateControls();
    g_active = this;
}

CTagColorDlg::~CTagColorDlg() {
    if (g_active == this) g_active = nullptr;
}

CTagColorDlg* CTagColorDlg::active() {
    return g_active;
}

CTagColorDlg::DateEdits CTagColorDlg::makeDateEdits(const QString& label, bool checked,
                                                    store::Date date) {
    DateEdits d{new QCheckBox(label, m_term), DateEdit(2, m_term), DateEdit(2, m_term),
                DateEdit(4, m_term)};
    d.box->setChecked(checked);
    if (checked) {
        d.year->setText(QString::number(date.year));
        d.month->setText(QString::number(date.month));
        d.day->setText(QString::number(date.day));
    }
    d.month->setAccessibleName(label + tr(" month"));
    d.day->setAccessibleName(label + tr(" day"));
    d.year->setAccessibleName(label + tr(" year"));
    return d;
}

std::uint8_t CTagColorDlg::kind() const {
    return m_blinkText->isChecked() ? 1 : m_blinkBoth->isChecked() ? 2 : 0;
}

void CTagColorDlg::setKind(std::uint8_t kind) {
    m_blinkText->setChecked(kind == 1);
    m_blinkBoth->setChecked(kind == 2);
    m_blink.setKind(kind);
    updateControls();
    m_preview->update();
}

void CTagColorDlg::setBlinkText(bool on) {
    setKind(on ? 1 : 0);
}

void CTagColorDlg::setBlinkTextAndBackground(bool on) {
    setKind(on ? 2 : 0);
}

void CTagColorDlg::setExpanded(bool expanded) {
    m_expanded = expanded;
    updateControls();
}

void CTagColorDlg::updateControls() {
    const TermControls state =
        TermControlsFor(kind(), m_start.box->isChecked(), m_end.box->isChecked());
    if (!state.term) {
        const QSignalBlocker startBlock(m_start.box);
        const QSignalBlocker endBlock(m_end.box);
        m_start.box->setChecked(false);
        m_end.box->setChecked(false);
    }
    m_term->setEnabled(state.term);
    const auto apply = [](const DateEdits& d, bool enabled) {
        for (QLineEdit* e : {d.month, d.day, d.year}) {
            if (!enabled) e->clear();
            e->setEnabled(enabled);
        }
    };
    apply(m_start, state.startEdits);
    apply(m_end, state.endEdits);
    m_term->setVisible(m_expanded);
    m_toggle->setText(m_expanded ? tr("<<Setting of &period") : tr("Setting of &period>>"));
}

void CTagColorDlg::blinkTick(bool phaseOn) {
    if (m_blink.tick(phaseOn)) m_preview->update();
}

void CTagColorDlg::chooseColor(std::uint32_t& color) {
    const QColor chosen = QColorDialog::getColor(ToQColor(color), this);
    if (!chosen.isValid()) return;
    color = widgets::FromQColor(chosen);
    m_preview->update();
}

QLineEdit* CTagColorDlg::edit(TermField field) const {
    switch (field) {
        case TermField::StartYear:
            return m_start.year;
        case TermField::StartMonth:
            return m_start.month;
        case TermField::StartDay:
            return m_start.day;
        case TermField::EndYear:
            return m_end.year;
        case TermField::EndMonth:
            return m_end.month;
        case TermField::EndDay:
            return m_end.day;
    }
    return m_start.year;
}

void CTagColorDlg::accept() {
    // The check reads views of the texts: they live here until it is done.
    const auto texts = [](const DateEdits& d) {
        return std::array<std::u16string, 3>{d.year->text().toStdU16String(),
                                             d.month->text().toStdU16String(),
                                             d.day->text().toStdU16String()};
    };
    const std::array<std::u16string, 3> start = texts(m_start);
    const std::array<std::u16string, 3> end = texts(m_end);
    const BlinkTermCheck check =
        CheckBlinkTerm(kind(), {m_start.box->isChecked(), start[0], start[1], start[2]},
                       {m_end.box->isChecked(), end[0], end[1], end[2]});
    if (check.error) {
        m_ui.warn(*check.error);
        setExpanded(true);
        QLineEdit* field = edit(check.field);
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return;
    }
    m_settings = check.settings;
    QDialog::accept();
}

}  // namespace tl::sticky
