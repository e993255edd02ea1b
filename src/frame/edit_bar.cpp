#include "edit_bar.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

#include "app/app_settings.h"
#include "calendar/side_bar_art.h"
#include "cmd_btn.h"
#include "color_pick_wnd.h"
#include "diary/marlow_view.h"
#include "edit_bar_boxes.h"
#include "selection_format.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::frame {

using res::Cmd;
using widgets::Scale;

namespace {

// The format buttons: command, picture, left edge at 96 dots per inch and
// tooltip (the string table's 285 to 289).
struct FormatButton {
    Cmd cmd;
    BarPicture picture;
    int left;
    const char* tip;
};
constexpr FormatButton kFormatButtons[] = {
    {Cmd::ToggleBold, BarPicture::Bold, 208, "Bold"},
    {Cmd::ToggleItalic, BarPicture::Italic, 241, "Italic"},
    {Cmd::ToggleUnderline, BarPicture::Underline, 274, "Underline"},
    {Cmd::ToggleStrikeOut, BarPicture::StrikeOut, 307, "Strikethrough"},
    {Cmd::TextColor, BarPicture::TextColor, 340, "Text color"},
};
// The bar's height, the buttons' top and size, the drop-down's width.
constexpr int kHeight = 26;
constexpr int kButtonTop = 2;
constexpr int kButtonSize = 22;
constexpr int kDropDownWidth = 12;

}  // namespace

CEditBar::CEditBar(app::AppSettings& settings, std::function<void(Cmd)> run, QWidget* parent)
    : QWidget(parent),
      m_settings(settings),
      m_run(std::move(run)),
      m_background(calendar::SideBarPattern()) {
    setObjectName(QStringLiteral("EditBar"));
    setAccessibleName(tr("Edit Bar"));
    setFixedHeight(Scale(kHeight));

    m_fontName = new CFontConboBox(this);
    m_fontName->setGeometry(Scale(5), Scale(3), Scale(150) - Scale(5), Scale(20));
    m_fontSize = new CFontSizeCombo(this);
    m_fontSize->setGeometry(Scale(152), Scale(3), Scale(200) - Scale(152), Scale(20));
    for (QWidget* box : {static_cast<QWidget*>(m_fontName), static_cast<QWidget*>(m_fontSize)})
        box->installEventFilter(this);
    connect(m_fontName, &CFontConboBox::faceChosen, this, [this](const QString& face) {
        if (!editable()) return;
        m_editor->applyFontFamily(face);
        m_editor->setFocus(Qt::OtherFocusReason);
    });
    connect(m_fontSize, &CFontSizeCombo::sizeChosen, this, [this](double points) {
        if (!editable()) return;
        m_editor->applyFontSize(points);
        m_editor->setFocus(Qt::OtherFocusReason);
    });

    for (const FormatButton& spec : kFormatButtons) {
        auto* button = new CCmdBtn(spec.cmd, spec.picture, tr(spec.tip), this);
        button->setGeometry(Scale(spec.left), Scale(kButtonTop), Scale(kButtonSize),
                            Scale(kButtonSize));
        m_buttons.push_back(button);
    }
    auto* dropDown = new CCmdBtn(Cmd::TextColorMenu, BarPicture::DropDown, tr("Text color"), this);
    dropDown->setGeometry(Scale(340) + Scale(kButtonSize), Scale(kButtonTop), Scale(kDropDownWidth),
                          Scale(kButtonSize));
    m_buttons.push_back(dropDown);
    // The keyboard reaches every button with Tab; a click leaves the focus
    // where it was (in the text).
    for (CCmdBtn* button : m_buttons) {
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &CCmdBtn::clicked, this, [this, button] {
            switch (button->command()) {
                case Cmd::TextColor:
                    applyColor(textColor(), false);
                    break;
                case Cmd::TextColorMenu:
                    m_popup->popup(button->mapToGlobal(QPoint(0, button->height())));
                    break;
                default:
                    m_run(button->command());
                    break;
            }
        });
    }
    button(Cmd::TextColor)->setColour(textColor());
    QWidget* previous = m_fontName;
    for (QWidget* next :
         std::initializer_list<QWidget*>{m_fontSize, m_buttons[0], m_buttons[1], m_buttons[2],
                                         m_buttons[3], m_buttons[4], m_buttons[5]}) {
        setTabOrder(previous, next);
        previous = next;
    }

    m_popup = new CColorPickWnd(this);
    connect(m_popup, &CColorPickWnd::picked, this, &CEditBar::applyColorItem);
    setEditor(nullptr);
}

CCmdBtn* CEditBar::button(Cmd cmd) const {
    for (CCmdBtn* b : m_buttons)
        if (b->command() == cmd) return b;
    return nullptr;
}

QSize CEditBar::sizeHint() const {
    return QSize(Scale(340) + Scale(kButtonSize) + Scale(kDropDownWidth) + Scale(8),
                 Scale(kHeight));
}

void CEditBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_background);
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.drawLine(0, height() - 1, width(), height() - 1);
}

diary::CMarlowView* CEditBar::editor() const {
    return m_editor.data();
}

bool CEditBar::editable() const {
    return m_editor && !m_editor->isReadOnly();
}

QColor CEditBar::textColor() const {
    return widgets::ToQColor(static_cast<std::uint32_t>(m_settings.edit.selectedColor));
}

void CEditBar::setEditor(diary::CMarlowView* editor) {
    if (m_editor == editor && editor) return;
    if (m_editor) m_editor->disconnect(this);
    m_editor = editor;
    if (editor) {
        connect(editor, &QTextEdit::currentCharFormatChanged, this, &CEditBar::showSelectionFormat);
        connect(editor, &QTextEdit::cursorPositionChanged, this, &CEditBar::showSelectionFormat);
        connect(editor, &QTextEdit::selectionChanged, this, &CEditBar::showSelectionFormat);
        // Undo and redo change formats without moving the cursor.
        connect(editor->document(), &QTextDocument::contentsChanged, this,
                &CEditBar::showSelectionFormat);
    }
    const bool on = editable();
    m_fontName->setEnabled(on);
    m_fontSize->setEnabled(on);
    button(Cmd::TextColor)->setEnabled(on);
    if (on)
        showSelectionFormat();
    else
        showDefaultFont();
}

void CEditBar::showDefaultFont() {
    m_fontName->showFace(QString::fromStdString(m_settings.font.name));
    m_fontSize->showSize(m_settings.font.height / 10.0);
    for (int i = 0; i < 4; ++i) m_buttons[static_cast<std::size_t>(i)]->setState(false, false);
}

void CEditBar::showSelectionFormat() {
    if (!m_editor) return;
    const QTextCursor cursor = m_editor->textCursor();
    // While the input method composes, the format shown stays as it was.
    if (const QTextLayout* layout = cursor.block().layout();
        layout && !layout->preeditAreaText().isEmpty())
        return;
    const SelectionFormat f = ReadSelectionFormat(cursor, m_editor->currentCharFormat(),
                                                  m_editor->document()->defaultFont());
    // A box being typed in keeps what is typed.
    if (!m_fontName->hasFocus()) m_fontName->showFace(f.family.value_or(QString()));
    if (!m_fontSize->hasFocus()) m_fontSize->showSize(f.pointSize);
    const bool on[] = {f.bold, f.italic, f.underline, f.strikeOut};
    for (int i = 0; i < 4; ++i) {
        CCmdBtn* b = m_buttons[static_cast<std::size_t>(i)];
        b->setState(b->isEnabled(), on[i]);
    }
}

void CEditBar::refresh(const std::function<bool(Cmd)>& enabled) {
    const bool on = editable();
    m_fontName->setEnabled(on);
    m_fontSize->setEnabled(on);
    button(Cmd::TextColor)->setEnabled(on);
    for (int i = 0; i < 4; ++i) {
        CCmdBtn* b = m_buttons[static_cast<std::size_t>(i)];
        b->setState(enabled(b->command()), b->isOn());
    }
    // The selection's format follows the editor's signals; without an
    // editor the default font shows (it may have been changed meanwhile).
    if (!m_editor) showDefaultFont();
}

void CEditBar::applyColor(const QColor& color, bool remember) {
    if (remember) {
        m_settings.edit.selectedColor = static_cast<app::Color>(widgets::FromQColor(color));
        button(Cmd::TextColor)->setColour(color);
    }
    if (!editable()) return;
    m_editor->applyTextColor(color);
    m_editor->setFocus(Qt::OtherFocusReason);
}

void CEditBar::applyColorItem(int item) {
    if (item == kAutoItem) {
        applyColor(widgets::ToQColor(static_cast<std::uint32_t>(m_settings.font.color)), false);
    } else if (IsSwatch(item)) {
        applyColor(widgets::ToQColor(SwatchColor(item)), true);
    } else if (item == kOtherItem) {
        const QColor chosen = QColorDialog::getColor(textColor(), window(), tr("Text color"));
        if (chosen.isValid()) applyColor(chosen, true);
    }
}

void CEditBar::focusFontName() {
    if (m_fontName->isEnabled()) {
        m_fontName->setFocus(Qt::ShortcutFocusReason);
        m_fontName->lineEdit()->selectAll();
    } else {
        m_buttons.back()->setFocus(Qt::ShortcutFocusReason);
    }
}

// Esc in a box gives the text back its focus, as a choice does.
bool CEditBar::eventFilter(QObject* watched, QEvent* event) {
    const bool shortcut = event->type() == QEvent::ShortcutOverride;
    if ((shortcut || event->type() == QEvent::KeyPress) && m_editor &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        auto* box = qobject_cast<QComboBox*>(watched);
        if (box && !box->view()->isVisible()) {
            // The window's Esc key does nothing; here the box takes it.
            event->accept();
            if (!shortcut) m_editor->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tl::frame
