#include "husen_dlg.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>
#include <cmath>

#include "app/app_settings.h"
#include "new_note.h"
#include "note_checks.h"
#include "res/user_interface.h"
#include "tag_color_dlg.h"
#include "widgets/color_preview.h"
#include "widgets/dialog_parts.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::sticky {

namespace {

using widgets::Scale;

CHusenDlg* g_active = nullptr;

// Typing stops at 20 characters, but a longer text put in by the program
// (a long entry title) is shown whole and may be shortened.
class TypingLimit : public QValidator {
public:
    explicit TypingLimit(QLineEdit* edit) : QValidator(edit), m_shown(edit->text().size()) {
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { m_shown = text.size(); });
    }
    State validate(QString& input, int&) const override {
        const qsizetype limit = static_cast<qsizetype>(kNoteTextInputMax);
        return input.size() > limit && input.size() > m_shown ? Invalid : Acceptable;
    }

private:
    qsizetype m_shown;  // the length before the change being validated
};

// Font heights are kept in pixels at 96 dots per inch; the font dialog
// speaks points.
constexpr double kPointsPerPixel = 72.0 / 96.0;

}  // namespace

// "Back color": the note's colours with the caption "Color", blinking as
// the note will.
class CHusenDlg::ColorButton : public QAbstractButton {
public:
    explicit ColorButton(CHusenDlg& dialog) : QAbstractButton(&dialog), m_dialog(dialog) {
        setText(tr("&Back color"));
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_Hover);
    }
    QSize sizeHint() const override { return {Scale(120), Scale(24)}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const BlinkPhase& blink = m_dialog.m_blink;
        const BlinkPhase::Colors shown =
            blink.shownColors(m_dialog.m_note.textColor, true, m_dialog.m_note.backColor);
        const QRect inside = widgets::PaintColorPreview(
            p, *this, {shown.background, shown.text, !blink.textHidden()}, tr("Color"),
            Qt::AlignCenter | Qt::TextSingleLine, {}, isDown() ? QPoint(1, 1) : QPoint());
        if (hasFocus() || underMouse()) {
            // An outline that shows on any colour: the edge inverted.
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.setPen(Qt::white);
            p.drawRect(inside.adjusted(0, 0, -1, -1));
        }
    }

private:
    CHusenDlg& m_dialog;
};

CHusenDlg::CHusenDlg(const store::StickyNote& note, app::AppSettings& settings,
                     res::UserInterface& ui, bool offered, QWidget* parent)
    : QDialog(parent), m_note(note), m_settings(settings), m_ui(ui) {
    setWindowTitle(tr("Sticky note Settings"));
    m_blink.setKind(note.blink);

    auto* textLabel = new QLabel(tr("&Text"), this);
    m_text = new QLineEdit(QString::fromStdU16String(note.text), this);
    m_text->setValidator(new TypingLimit(m_text));
    textLabel->setBuddy(m_text);
    auto* fontButton = new QPushButton(tr("&Font..."), this);
    m_colorButton = new ColorButton(*this);
    auto* rateLabel = new QLabel(tr("Transparent &rate"), this);
    m_rate = widgets::NumberEdit(3, this);
    m_rate->setAttribute(Qt::WA_InputMethodEnabled, false);  // digits need no input method
    m_rate->setText(QString::number(note.transparency));
    rateLabel->setBuddy(m_rate);
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up, down}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);  // the arrow keys in the field do the same
        b->setFixedSize(Scale(16), Scale(11));
    }
    auto* percent = new QLabel(QStringLiteral("%"), this);
    auto* defaults = new QPushButton(tr("Set to &default"), this);
    QDialogButtonBox* buttons = widgets::OkCancelButtons(this);

    // Each note has a rate of its own only while translucency is on and
    // one rate does not serve all notes.
    const bool ownRate =
        offered && settings.tag.transparent == 1 && settings.tag.transparentSetAll == 0;
    for (QWidget* w : std::initializer_list<QWidget*>{rateLabel, m_rate, up, down, percent})
        w->setEnabled(ownRate);

    auto* grid = new QGridLayout;
    grid->addWidget(textLabel, 0, 0);
    grid->addWidget(m_text, 0, 1, 1, 3);
    grid->addWidget(fontButton, 1, 0);
    grid->addWidget(m_colorButton, 1, 1, 1, 3);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(up);
    arrows->addWidget(down);
    auto* rateRow = new QHBoxLayout;
    rateRow->addWidget(m_rate);
    rateRow->addLayout(arrows);
    rateRow->addWidget(percent);
    rateRow->addStretch();
    grid->addWidget(rateLabel, 2, 0);
    grid->addLayout(rateRow, 2, 1, 1, 3);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(defaults);
    bottom->addStretch();
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(bottom);

    connect(fontButton, &QPushButton::clicked, this, &CHusenDlg::chooseFont);
    connect(m_colorButton, &QAbstractButton::clicked, this, &CHusenDlg::editColors);
    connect(up, &QToolButton::clicked, this, [this] { stepRate(1); });
    connect(down, &QToolButton::clicked, this, [this] { stepRate(-1); });
    m_rate->installEventFilter(this);  // Up and Down step the rate
    connect(defaults, &QPushButton::clicked, this, &CHusenDlg::setToDefault);
    g_active = this;
}

CHusenDlg::~CHusenDlg() {
    if (g_active == this) g_active = nullptr;
}

CHusenDlg* CHusenDlg::active() {
    return g_active;
}

void CHusenDlg::blinkTick(bool phaseOn) {
    if (m_blink.tick(phaseOn)) m_colorButton->update();
}

void CHusenDlg::stepRate(int steps) {
    if (!m_rate->isEnabled()) return;
    const int shown = m_rate->text().toInt();
    m_rate->setText(QString::number(StepRate(std::clamp(shown, 0, kRateMax), steps)));
}

bool CHusenDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_rate && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepRate(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CHusenDlg::chooseFont() {
    QFont initial(QString::fromStdU16String(m_note.faceName));
    if (m_note.fontHeight != 0)
        initial.setPointSizeF(std::abs(m_note.fontHeight) * kPointsPerPixel);
    initial.setWeight(static_cast<QFont::Weight>(std::clamp(m_note.fontWeight, 1, 1000)));
    initial.setItalic(m_note.italic);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, this, tr("Font"));
    if (!ok) return;
    // Cut as the record keeps it, so the note looks the same after a restart.
    m_note.faceName = chosen.family().toStdU16String().substr(0, store::kStickyFaceMax);
    const double points = chosen.pointSizeF();
    m_note.fontHeight =
        points > 0 ? static_cast<int>(std::lround(points / kPointsPerPixel)) : chosen.pixelSize();
    m_note.fontWeight = chosen.weight();
    m_note.italic = chosen.italic();
}

void CHusenDlg::editColors() {
    BlinkSettings blink{m_note.blink, m_note.startSet, m_note.start, m_note.endSet, m_note.end};
    CTagColorDlg dialog(m_text->text(), {m_note.textColor, m_note.backColor}, blink, m_ui, this);
    if (dialog.exec() != QDialog::Accepted) return;
    m_note.textColor = dialog.colors().text;
    m_note.backColor = dialog.colors().back;
    blink = dialog.blinkSettings();
    m_note.blink = blink.kind;
    m_note.startSet = blink.fromEnabled;
    m_note.start = blink.from;
    m_note.endSet = blink.toEnabled;
    m_note.end = blink.to;
    m_blink.setKind(m_note.blink);
    m_colorButton->update();
}

bool CHusenDlg::takeFields() {
    const std::u16string text = m_text->text().toStdU16String();
    // A rate that cannot be typed here (one rate serves all notes) stays
    // the note's own, whatever it is.
    const bool ownRate = m_rate->isEnabled();
    const std::u16string rate = ownRate ? m_rate->text().toStdU16String() : u"0";
    const NoteSettingsCheck check = CheckNoteSettings(text, rate);
    if (check.error) {
        m_ui.warn(*check.error);
        QLineEdit* field = check.field == NoteField::Text ? m_text : m_rate;
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        return false;
    }
    m_note.text = text;
    if (ownRate) m_note.transparency = static_cast<std::uint8_t>(check.rate);
    return true;
}

bool CHusenDlg::setToDefault() {
    if (!takeFields()) return false;
    StoreNoteDefaults(m_settings, m_note);
    return true;
}

void CHusenDlg::accept() {
    if (takeFields()) QDialog::accept();
}

}  // namespace tl::sticky
