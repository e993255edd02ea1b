#include "head_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <algorithm>

#include "color_setting_dlg.h"
#include "tab_strip.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::diary {

using widgets::Scale;
using widgets::ToQColor;

namespace {

// The button that shows "Color" in the title's colours.
class ColorButton : public QAbstractButton {
public:
    ColorButton(const store::TitleColors& colors, const TitleBlink& blink, QWidget* parent)
        : QAbstractButton(parent), m_colors(colors), m_blink(blink) {
        setFocusPolicy(Qt::StrongFocus);
        setToolTip(tr("Title color"));
    }
    QSize sizeHint() const override { return QSize(Scale(44), Scale(20)); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QRect r = rect().adjusted(0, 0, -1, -1);
        const TitleBlink::Colors shown =
            m_blink.shownColors(m_colors.text, m_colors.backgroundOn != 0, m_colors.background);
        p.fillRect(r, ToQColor(shown.background));
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(r);
        if (!m_blink.textHidden()) {
            p.setPen(ToQColor(shown.text));
            p.drawText(r, Qt::AlignCenter, tr("Color"));
        }
        if (hasFocus()) {
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = r.adjusted(2, 2, -2, -2);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
        }
    }

private:
    const store::TitleColors& m_colors;
    const TitleBlink& m_blink;
};

}  // namespace

int CHeadView::paneHeight(bool note) {
    return note ? Scale(23) : Scale(23) + Scale(29) + 1;
}

CHeadView::CHeadView(TabTable& tabs, bool note, bool weatherShown, QWidget* parent)
    : QWidget(parent), m_tabs(tabs), m_note(note), m_weatherShown(weatherShown) {
    m_strip = new CTabStrip(tabs, this);
    setFixedHeight(paneHeight(note));
    if (note) return;
    m_title = new QLineEdit(this);
    m_title->setMaxLength(static_cast<int>(store::kTitleMax));
    m_title->setAccessibleName(tr("Title"));
    m_colorButton = new ColorButton(m_colors, m_blink, this);
    m_weather = new QComboBox(this);
    m_weather->setEditable(true);
    m_weather->setInsertPolicy(QComboBox::NoInsert);
    m_weather->lineEdit()->setMaxLength(static_cast<int>(store::kWeatherMax));
    m_weather->setAccessibleName(tr("Weather"));
    m_weather->setVisible(weatherShown);
    setTabOrder(m_title, m_colorButton);
    setTabOrder(m_colorButton, m_weather);

    connect(m_title, &QLineEdit::textEdited, this, [this] {
        if (m_ready) emit edited();
    });
    connect(m_weather, &QComboBox::editTextChanged, this, [this] {
        if (m_ready) emit edited();
    });
    connect(m_colorButton, &QAbstractButton::clicked, this, &CHeadView::chooseColors);
    m_title->installEventFilter(this);
    m_weather->installEventFilter(this);
    m_weather->lineEdit()->installEventFilter(this);
}

void CHeadView::setHeader(const store::EntryHeader& header) {
    setTitle(QString::fromStdU16String(header.title));
    if (m_weather) m_weather->setEditText(QString::fromStdU16String(header.weather));
    setColors(header.colors);
}

QString CHeadView::title() const {
    return m_title ? m_title->text() : QString();
}

void CHeadView::setTitle(const QString& title) {
    if (m_title) m_title->setText(title);
    applyTitlePalette();
}

QString CHeadView::weather() const {
    return m_weather ? m_weather->currentText() : QString();
}

void CHeadView::setColors(const store::TitleColors& colors) {
    m_colors = colors;
    m_blink.setKind(colors.blink);
    applyTitlePalette();
    if (m_colorButton) m_colorButton->update();
}

void CHeadView::applyTitlePalette() {
    if (!m_title) return;
    QPalette p = palette();
    p.setColor(QPalette::Text, ToQColor(m_colors.text));
    if (m_colors.backgroundOn) p.setColor(QPalette::Base, ToQColor(m_colors.background));
    m_title->setPalette(p);
}

void CHeadView::setWeatherChoices(const store::WeatherList& choices) {
    if (!m_weather) return;
    QString text = m_weather->currentText();
    QSignalBlocker block(m_weather);
    m_weather->clear();
    for (const auto& choice : choices)
        if (!choice.empty()) m_weather->addItem(QString::fromStdU16String(choice));
    m_weather->setEditText(text);
}

void CHeadView::setReadOnly(bool readOnly) {
    if (m_note) return;
    m_title->setReadOnly(readOnly);
    m_weather->setEnabled(!readOnly);
    m_colorButton->setEnabled(!readOnly);
}

void CHeadView::setWeatherShown(bool shown) {
    if (m_note || shown == m_weatherShown) return;
    m_weatherShown = shown;
    m_weather->setVisible(shown);
    m_weatherLabel = QRect();
    layoutFields();
}

void CHeadView::blinkTick(bool phaseOn) {
    if (m_blink.tick(phaseOn) && m_colorButton) m_colorButton->update();
}

void CHeadView::hideTitleSelection() {
    if (m_title && m_title->hasSelectedText())
        m_title->setCursorPosition(m_title->selectionStart());
}

void CHeadView::chooseColors() {
    CColorSettingDlg dialog(this);
    dialog.setPreviewText(title());
    dialog.setColors(m_colors);
    if (dialog.exec() != QDialog::Accepted) return;
    setColors(dialog.colors());
    emit colorsChosen();
}

void CHeadView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutFields();
}

void CHeadView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The labels are measured in the widget's font.
    if (event->type() == QEvent::FontChange) layoutFields();
}

void CHeadView::layoutFields() {
    m_strip->setGeometry(0, 0, width(), Scale(23));
    if (m_note) return;
    const QFontMetrics metrics = fontMetrics();
    const int top = Scale(23) + Scale(5);
    const int h = Scale(20);
    const int labelGap = Scale(4);
    // Labels take the width of their text, so no resolution or font cuts
    // them; the fields keep their designed sizes where the text allows.
    const int titleLabelWidth = metrics.horizontalAdvance(tr("Title"));
    const int left = std::max(Scale(44), Scale(6) + titleLabelWidth + labelGap);
    m_titleLabel = QRect(Scale(6), top, titleLabelWidth, h);
    int fieldsEnd = width();
    if (m_weatherShown) {
        const int weatherX = width() - Scale(4) - Scale(90);
        m_weather->setGeometry(weatherX, top, Scale(90), h);
        const int weatherLabelWidth = metrics.horizontalAdvance(tr("Weather"));
        m_weatherLabel = QRect(weatherX - labelGap - weatherLabelWidth, top, weatherLabelWidth, h);
        fieldsEnd = m_weatherLabel.left();
    }
    // The title takes what is left before the colour button and a gap.
    const int titleWidth = std::max(Scale(50), fieldsEnd - Scale(25) - Scale(44) - Scale(5) - left);
    m_title->setGeometry(left, top, titleWidth, h);
    m_colorButton->setGeometry(left + titleWidth + Scale(5), top, Scale(44), h);
    update();
}

void CHeadView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    int t = Scale(23);
    // Nine grey bands under the strip, 2 pixels each, from 234 down to 202.
    for (int i = 0; i < 9; ++i) {
        int grey = 234 - 4 * i;
        p.fillRect(0, t + Scale(2) * i, width(), Scale(2), QColor(grey, grey, grey));
    }
    p.fillRect(0, t + Scale(18), width(), height() - t - Scale(18), QColor(202, 202, 202));
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(0, t - 1, width(), t - 1);
    if (m_note) return;
    p.drawLine(0, height() - 1, width(), height() - 1);
    p.setPen(palette().color(QPalette::WindowText));
    // A glyph's overhang past its advance is not cut off.
    const int flags = Qt::AlignVCenter | Qt::AlignLeft | Qt::TextDontClip;
    p.drawText(m_titleLabel, flags, tr("Title"));
    if (m_weatherShown) p.drawText(m_weatherLabel, flags, tr("Weather"));
}

bool CHeadView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        auto reason = static_cast<QFocusEvent*>(event)->reason();
        bool withinWeather = m_weather &&
                             (watched == m_weather || watched == m_weather->lineEdit()) &&
                             m_weather->isAncestorOf(QApplication::focusWidget());
        if (reason != Qt::PopupFocusReason && !withinWeather) emit fieldLeft();
    } else if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (watched == m_title && m_weatherShown) {
                m_weather->setFocus(Qt::TabFocusReason);
            } else {
                emit toTextRequested();
            }
            return true;
        }
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier) {
            emit toTextRequested();
            return true;
        }
    } else if (event->type() == QEvent::ContextMenu && watched == m_title) {
        // The title's own menu follows; the open entries are saved first.
        emit menuAboutToOpen();
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tl::diary
