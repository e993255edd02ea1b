#include "head_view.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QUrl>
#include <algorithm>

#include "attachment_actions.h"
#include "color_setting_dlg.h"
#include "tab_strip.h"
#include "widgets/popup_menu.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::diary {

using widgets::Scale;
using widgets::ToQColor;

namespace {

// The button that shows "Color" in the title's colours.
class ColorButton : public QAbstractButton {
public:
    ColorButton(const store::TitleColors& colors, const sticky::BlinkPhase& blink, QWidget* parent)
        : QAbstractButton(parent), m_colors(colors), m_blink(blink) {
        setFocusPolicy(Qt::StrongFocus);
        setToolTip(tr("Title color"));
    }
    QSize sizeHint() const override { return QSize(Scale(44), Scale(20)); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QRect r = rect().adjusted(0, 0, -1, -1);
        const sticky::BlinkPhase::Colors shown =
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
    const sticky::BlinkPhase& m_blink;
};

}  // namespace

int CHeadView::paneHeight(bool note) {
    return note ? Scale(23) : Scale(23) + Scale(29) + 1;
}

CHeadView::CHeadView(TabTable& tabs, bool note, bool weatherShown, QWidget* parent)
    : QWidget(parent), m_tabs(tabs), m_note(note), m_weatherShown(weatherShown) {
    m_strip = new CTabStrip(tabs, this);
    setFixedHeight(paneHeight(note));
    setAcceptDrops(true);
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
    m_title->setAcceptDrops(true);
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
    if (event->type() == QEvent::FocusIn) {
        emit fieldEntered();
    } else if (event->type() == QEvent::FocusOut) {
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
        if (watched == m_title && key->key() == Qt::Key_F10 &&
            key->modifiers() == Qt::ShiftModifier) {
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QPoint());
            return eventFilter(watched, &menu);
        }
    } else if (event->type() == QEvent::ContextMenu && watched == m_title) {
        // The title's own menu; the open entries are saved first.
        emit menuAboutToOpen();
        auto* menu = static_cast<QContextMenuEvent*>(event);
        showTitleMenu(menu->reason() == QContextMenuEvent::Keyboard
                          ? m_title->mapToGlobal(m_title->rect().bottomLeft())
                          : menu->globalPos());
        return true;
    } else if (watched == m_title &&
               (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
                event->type() == QEvent::Drop)) {
        // Files dropped on the title are attached, not typed in as names.
        if (takeFiles(static_cast<QDropEvent*>(event), event->type() == QEvent::Drop)) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CHeadView::showTitleMenu(QPoint globalPos) {
    QMenu menu(this);
    const bool writable = !m_title->isReadOnly();
    const bool selection = m_title->hasSelectedText();
    auto add = [&](const QString& text, bool enabled, auto action,
                   QKeySequence::StandardKey key = QKeySequence::UnknownKey) {
        QAction* item = menu.addAction(text);
        item->setEnabled(enabled);
        if (key != QKeySequence::UnknownKey) item->setShortcut(key);
        connect(item, &QAction::triggered, this, action);
    };
    add(
        tr("&Undo"), writable && m_title->isUndoAvailable(), [this] { m_title->undo(); },
        QKeySequence::Undo);
    menu.addSeparator();
    add(
        tr("Cu&t"), writable && selection, [this] { m_title->cut(); }, QKeySequence::Cut);
    add(
        tr("&Copy"), selection, [this] { m_title->copy(); }, QKeySequence::Copy);
    add(
        tr("&Paste"),
        writable && QApplication::clipboard()->mimeData() &&
            QApplication::clipboard()->mimeData()->hasText(),
        [this] { m_title->paste(); }, QKeySequence::Paste);
    menu.addSeparator();
    add(
        tr("Select &All"), !m_title->text().isEmpty(), [this] { m_title->selectAll(); },
        QKeySequence::SelectAll);
    menu.addSeparator();
    add(tr("Attach f&ile"), writable, [this] { emit attachRequested(); });
    menu.addSeparator();
    const auto search = [this](res::Cmd engine) {
        return [this, engine] { emit searchRequested(engine, m_title->selectedText()); };
    };
    add(tr("Search by &Google"), selection, search(res::Cmd::SearchGoogle));
    add(tr("Search by &YAHOO!"), selection, search(res::Cmd::SearchYahoo));
    add(tr("Search by &bing"), selection, search(res::Cmd::SearchBing));
    widgets::ExecPopupMenu(menu, globalPos);
}

bool CHeadView::takeFiles(QDropEvent* event, bool drop) {
    const QStringList paths = DroppedFiles(event->mimeData());
    if (paths.isEmpty()) return false;
    if (!m_acceptFiles || !m_acceptFiles()) {
        event->ignore();
        return true;
    }
    event->acceptProposedAction();
    if (drop) emit filesDropped(paths);
    return true;
}

void CHeadView::dragEnterEvent(QDragEnterEvent* event) {
    if (!takeFiles(event, false)) event->ignore();
}

void CHeadView::dropEvent(QDropEvent* event) {
    if (!takeFiles(event, true)) event->ignore();
}

}  // namespace tl::diary
