#include "picture_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <algorithm>

#include "attachment_actions.h"
#include "attachment_rules.h"
#include "entry_attachments.h"
#include "entry_name.h"
#include "store/codepage.h"
#include "widgets/scale.h"

namespace tl::diary {

using widgets::Scale;
using widgets::ScaleDpi;
namespace {

// Colours of the strip (RGB).
const QColor kBackground(0xF0, 0xF0, 0xFF);
const QColor kBottomLine(0xC0, 0xC0, 0xC0);
const QColor kHighlight(0xAF, 0xD2, 0xD9);
const QColor kFrame(0x80, 0x80, 0x80);
// The rubber band scrolls the strip by this many pixels (not scaled) per
// tick while it is held beyond an edge, and the wheel by this many per notch.
constexpr int kBandScroll = 20;
constexpr int kBandTickMs = 100;
constexpr int kWheelScroll = 10;
constexpr int kWheelNotch = 120;

QString Name(const CAttachFile& item) {
    return QString::fromStdU16String(item.name());
}

}  // namespace

CPictureView::CPictureView(EntryAttachments& attachments, QWidget* parent)
    : QAbstractScrollArea(parent), m_attachments(attachments), m_geometry(ScaleDpi()) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setMouseTracking(false);
    setAccessibleName(tr("Attached files"));
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    m_scrollTimer = new QTimer(this);
    m_scrollTimer->setInterval(kBandTickMs);
    connect(m_scrollTimer, &QTimer::timeout, this, &CPictureView::autoScroll);
    const qreal ratio = devicePixelRatioF();
    m_attachments.setThumbnailSize(QSize(m_geometry.slotWidth(), m_geometry.pictureHeight()) *
                                   ratio);
    connect(&m_attachments, &EntryAttachments::changed, this, &CPictureView::Refresh);
    connect(&m_attachments, &EntryAttachments::thumbnailChanged, this, [this](std::size_t index) {
        viewport()->update(slotRect(index).adjusted(-3, -3, 3, 4));
    });
    Refresh();
}

void CPictureView::Refresh() {
    // The selection and the anchor follow their attachments (by number)
    // through a change of the array.
    std::vector<std::uint32_t> selectedOrders;
    for (std::size_t i : m_selection.selected())
        if (i < m_orders.size()) selectedOrders.push_back(m_orders[i]);
    const int anchor = m_selection.anchor();
    const std::uint32_t anchorOrder =
        anchor >= 0 && anchor < static_cast<int>(m_orders.size()) ? m_orders[anchor] : 0;
    m_orders.clear();
    for (std::size_t i = 0; i < m_attachments.size(); ++i)
        m_orders.push_back(m_attachments.at(i).order());
    std::vector<std::size_t> selected;
    int newAnchor = -1;
    for (std::size_t i = 0; i < m_orders.size(); ++i) {
        if (std::find(selectedOrders.begin(), selectedOrders.end(), m_orders[i]) !=
            selectedOrders.end())
            selected.push_back(i);
        if (anchorOrder != 0 && m_orders[i] == anchorOrder) newAnchor = static_cast<int>(i);
    }
    m_selection.reset(m_attachments.size(), selected, newAnchor);
    updateScrollRange();
    const int h = rowHeight();
    setFixedHeight(h);
    setVisible(h > 0);
    viewport()->update();
}

int CPictureView::rowHeight() const {
    if (m_attachments.empty()) return 0;
    const bool scrolls = m_geometry.contentWidth(m_attachments.size()) > width() && width() > 0;
    return m_geometry.stripHeight() + (scrolls ? horizontalScrollBar()->sizeHint().height() : 0);
}

QSize CPictureView::sizeHint() const {
    return {m_geometry.contentWidth(m_attachments.size()), rowHeight()};
}

void CPictureView::updateScrollRange() {
    QScrollBar* bar = horizontalScrollBar();
    const int view = viewport()->width();
    bar->setRange(0, std::max(0, m_geometry.contentWidth(m_attachments.size()) - view));
    bar->setPageStep(std::max(1, view));
    bar->setSingleStep(m_geometry.pitch() / 2);
}

void CPictureView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
    const int h = rowHeight();
    if (h != height()) setFixedHeight(h);
}

void CPictureView::scrollContentsBy(int, int) {
    viewport()->update();
}

QRect CPictureView::slotRect(std::size_t index) const {
    return QRect(m_geometry.slotLeft(index) - horizontalScrollBar()->value(),
                 m_geometry.pictureTop(), m_geometry.slotWidth(), m_geometry.pictureHeight());
}

std::optional<std::size_t> CPictureView::slotAt(QPoint viewportPos) const {
    return m_geometry.slotAt(viewportPos.x() + horizontalScrollBar()->value(), viewportPos.y(),
                             m_attachments.size());
}

std::vector<std::size_t> CPictureView::selectedPictures() const {
    std::vector<std::size_t> pictures;
    for (std::size_t i : m_selection.selected())
        if (i < m_attachments.size() && m_attachments.at(i).isPicture()) pictures.push_back(i);
    return pictures;
}

void CPictureView::selectAll() {
    m_selection.selectAll();
    viewport()->update();
}

void CPictureView::clearSelection() {
    if (m_selection.size() == 0 || m_selection.selectedCount() == 0) return;
    m_selection.clear();
    viewport()->update();
}

std::vector<std::u16string> CPictureView::attachmentNames() const {
    std::vector<std::u16string> names;
    for (std::size_t i = 0; i < m_attachments.size(); ++i)
        names.push_back(m_attachments.at(i).name());
    return names;
}

int CPictureView::firstSelectedAttachment() const {
    const std::vector<std::size_t> chosen = m_selection.selected();
    return chosen.empty() ? -1 : static_cast<int>(chosen.front());
}

void CPictureView::selectOnlyAttachment(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_attachments.size()) return;
    m_selection.moveTo(static_cast<std::size_t>(index), false);
    showAnchor();
    setFocus(Qt::OtherFocusReason);
    viewport()->update();
}

QIcon CPictureView::iconFor(const QString& name) {
    const int dot = name.lastIndexOf(u'.');
    const QString key = dot < 0 ? QString() : name.mid(dot + 1).toLower();
    if (const auto it = m_icons.constFind(key); it != m_icons.constEnd()) return *it;
    static const bool themed = [] {
        // Without a desktop session Qt knows no icon theme; the common one
        // is used when it is installed.
        if (QIcon::themeName().isEmpty() || QIcon::themeName() == QStringLiteral("hicolor"))
            QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
        return true;
    }();
    (void)themed;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(type.genericIconName());
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_FileIcon);
    m_icons.insert(key, icon);
    return icon;
}

void CPictureView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    p.fillRect(event->rect(), kBackground);
    const int offset = horizontalScrollBar()->value();
    const int iconSize = Scale(32);
    const int pitch = m_geometry.pitch();
    for (std::size_t i = 0; i < m_attachments.size(); ++i) {
        const QRect slot = slotRect(i);
        if (slot.right() + pitch < 0 || slot.left() - pitch > viewport()->width()) continue;
        const CAttachFile& item = m_attachments.at(i);
        const bool selected = i < m_selection.size() && m_selection.isSelected(i);
        // The highlight reaches 2 pixels round the slot, 3 below it.
        if (selected) p.fillRect(slot.adjusted(-2, -2, 2, 3), kHighlight);
        if (item.isPicture()) {
            if (!selected) {
                p.setPen(kFrame);
                p.drawRect(slot.adjusted(-1, -1, 0, 0));
            }
            p.fillRect(slot, Qt::white);
            const QImage& thumb = item.thumbnail();
            if (!thumb.isNull()) {
                QSizeF shown =
                    QSizeF(thumb.size()) / thumb.devicePixelRatio() / devicePixelRatioF();
                QRectF target(QPointF(), shown);
                target.moveCenter(QRectF(slot).center());
                p.drawImage(target, thumb);
            } else {
                // Still being made: a quiet mark where it will appear.
                p.setPen(kBottomLine);
                p.drawText(slot, Qt::AlignCenter, QStringLiteral("\u2026"));
            }
        } else {
            if (selected) p.fillRect(slot, kBackground);
            const QRect iconRect(slot.left() + (slot.width() - iconSize) / 2, Scale(5), iconSize,
                                 iconSize);
            iconFor(Name(item)).paint(&p, iconRect);
            const QRect label(
                m_geometry.labelLeft(i) - offset, iconRect.bottom() + 1, pitch,
                m_geometry.pictureTop() + m_geometry.pictureHeight() - iconRect.bottom());
            p.setPen(palette().color(QPalette::WindowText));
            const QString text = p.fontMetrics().elidedText(Name(item), Qt::ElideRight, pitch);
            p.drawText(label, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
        }
        // The anchor, where the keys act, while the strip has the focus.
        if (hasFocus() && static_cast<int>(i) == m_selection.anchor()) {
            p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(slot.adjusted(-4, -4, 3, 4));
        }
    }
    if (m_bandStart) {
        p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(
            QRect(*m_bandStart - QPoint(offset, 0), m_bandNow - QPoint(offset, 0)).normalized());
    }
    if (!horizontalScrollBar()->isVisible()) {
        p.setPen(kBottomLine);
        p.drawLine(0, viewport()->height() - 1, viewport()->width(), viewport()->height() - 1);
    }
}

bool CPictureView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const std::optional<std::size_t> i = slotAt(help->pos())) {
            QToolTip::showText(
                help->globalPos(),
                QString::fromStdString(AttachmentTooltip(m_attachments.at(*i).info())), viewport(),
                slotRect(*i));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CPictureView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (const std::optional<std::size_t> i = slotAt(pos)) {
        const bool was = m_selection.press(*i, ctrl, shift);
        m_press = Press{*i, ctrl, shift, was, pos};
    } else {
        m_selection.clear();
        m_bandStart = pos + QPoint(horizontalScrollBar()->value(), 0);
        m_bandNow = *m_bandStart;
    }
    viewport()->update();
}

void CPictureView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_press && (event->buttons() & Qt::LeftButton) &&
        (pos - m_press->at).manhattanLength() >= QApplication::startDragDistance()) {
        m_press.reset();
        startDrag();
        return;
    }
    if (m_bandStart) bandMoved(pos);
}

void CPictureView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (m_press) {
        m_selection.click(m_press->index, m_press->ctrl, m_press->shift, m_press->wasSelected);
        m_press.reset();
    }
    if (m_bandStart) {
        m_bandStart.reset();
        m_scrollTimer->stop();
        m_autoScroll = 0;
    }
    viewport()->update();
}

void CPictureView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_press.reset();
    if (const std::optional<std::size_t> i = slotAt(event->position().toPoint())) {
        m_selection.selectOnly(*i);
        viewport()->update();
        emit openRequested(*i);
    }
}

void CPictureView::bandMoved(QPoint viewportPos) {
    const int offset = horizontalScrollBar()->value();
    m_bandNow = viewportPos + QPoint(offset, 0);
    m_selection.selectExactly(m_geometry.slotsInBand(
        m_bandStart->x(), m_bandStart->y(), m_bandNow.x(), m_bandNow.y(), m_attachments.size()));
    m_autoScroll = viewportPos.x() < 0 ? -1 : viewportPos.x() > viewport()->width() ? 1 : 0;
    if (m_autoScroll != 0 && !m_scrollTimer->isActive()) m_scrollTimer->start();
    if (m_autoScroll == 0) m_scrollTimer->stop();
    viewport()->update();
}

void CPictureView::autoScroll() {
    if (!m_bandStart || m_autoScroll == 0) {
        m_scrollTimer->stop();
        return;
    }
    QScrollBar* bar = horizontalScrollBar();
    bar->setValue(bar->value() + m_autoScroll * kBandScroll);
    bandMoved(viewport()->mapFromGlobal(QCursor::pos()));
}

void CPictureView::startDrag() {
    const std::vector<std::size_t> chosen = m_selection.selected();
    if (chosen.empty()) return;
    QByteArray payload = QByteArray::fromStdString(DateKeyOf(m_attachments.date())) + ':';
    for (std::size_t k = 0; k < chosen.size(); ++k) {
        if (k > 0) payload += ',';
        payload += QByteArray::number(m_attachments.at(chosen[k]).order());
    }
    QMimeData* data = m_dragData ? m_dragData(chosen) : new QMimeData;
    data->setData(QString::fromLatin1(kStripMimeType), payload);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    const CAttachFile& first = m_attachments.at(chosen.front());
    if (!first.thumbnail().isNull())
        drag->setPixmap(QPixmap::fromImage(first.thumbnail()));
    else
        drag->setPixmap(iconFor(Name(first)).pixmap(Scale(32)));
    m_draggingOut = true;
    drag->exec(Qt::CopyAction);
    m_draggingOut = false;
    viewport()->update();
}

void CPictureView::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) {
        const int anchor = m_selection.anchor();
        if (anchor >= 0) {
            m_selection.pressRight(static_cast<std::size_t>(anchor));
            viewport()->update();
            showSlotMenu(viewport()->mapToGlobal(slotRect(anchor).bottomLeft()));
        } else {
            showStripMenu(viewport()->mapToGlobal(viewport()->rect().center()));
        }
        return;
    }
    const QPoint pos = viewport()->mapFromGlobal(event->globalPos());
    if (const std::optional<std::size_t> i = slotAt(pos)) {
        m_selection.pressRight(*i);
        viewport()->update();
        showSlotMenu(event->globalPos());
    } else {
        showStripMenu(event->globalPos());
    }
}

void CPictureView::showSlotMenu(QPoint globalPos) {
    QMenu menu(this);
    auto add = [&](const QString& text, bool enabled, auto action) {
        QAction* item = menu.addAction(text);
        item->setEnabled(enabled);
        connect(item, &QAction::triggered, this, action);
        return item;
    };
    add(tr("&Delete picture"), !m_readOnly, [this] {
        emit deleteRequested();
    })->setShortcut(QKeySequence::Delete);
    add(tr("&Save attached file"), true, [this] { emit saveRequested(); });
    add(tr("Select A&ll"), true, [this] { selectAll(); })->setShortcut(QKeySequence::SelectAll);
    // The link texts name pictures only.
    if (!selectedPictures().empty()) {
        menu.addSeparator();
        add(tr("&Insert link text of picture"), !m_readOnly,
            [this] { emit insertLinksRequested(); });
        add(tr("Copy &link text of picture"), true, [this] { emit copyLinksRequested(false); });
        add(tr("Copy link t&ext of picture with date"), !m_readOnly,
            [this] { emit copyLinksRequested(true); });
    }
    menu.exec(globalPos);
}

void CPictureView::showStripMenu(QPoint globalPos) {
    QMenu menu(this);
    QAction* all = menu.addAction(tr("Select A&ll"));
    all->setEnabled(!m_attachments.empty());
    connect(all, &QAction::triggered, this, &CPictureView::selectAll);
    QAction* attach = menu.addAction(tr("Attach f&ile"));
    attach->setEnabled(!m_readOnly);
    connect(attach, &QAction::triggered, this, &CPictureView::attachRequested);
    menu.exec(globalPos);
}

void CPictureView::wheelEvent(QWheelEvent* event) {
    QScrollBar* bar = horizontalScrollBar();
    if (!bar->isVisible() || bar->maximum() == 0) {
        event->ignore();  // the main window scrolls what lies under the cursor
        return;
    }
    const QPoint delta = event->angleDelta();
    const int turn = delta.y() != 0 ? delta.y() : delta.x();
    // Turning the wheel away from the user scrolls toward the first slot.
    bar->setValue(bar->value() - turn * kWheelScroll / kWheelNotch);
    event->accept();
}

void CPictureView::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const std::size_t count = m_attachments.size();
    switch (event->key()) {
        case Qt::Key_Left:
            m_selection.step(-1, shift);
            break;
        case Qt::Key_Right:
            m_selection.step(+1, shift);
            break;
        case Qt::Key_Home:
            if (count > 0) m_selection.moveTo(0, shift);
            break;
        case Qt::Key_End:
            if (count > 0) m_selection.moveTo(count - 1, shift);
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_selection.anchor() >= 0)
                emit openRequested(static_cast<std::size_t>(m_selection.anchor()));
            break;
        case Qt::Key_Delete:
            if (!m_readOnly && m_selection.selectedCount() > 0) emit deleteRequested();
            break;
        case Qt::Key_F10:
            if (!shift) {
                QAbstractScrollArea::keyPressEvent(event);
                return;
            }
            {
                QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(),
                                       mapToGlobal(QPoint()));
                contextMenuEvent(&menu);
            }
            break;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
    }
    showAnchor();
    viewport()->update();
}

void CPictureView::showAnchor() {
    const int anchor = m_selection.anchor();
    if (anchor < 0) return;
    QScrollBar* bar = horizontalScrollBar();
    bar->setValue(m_geometry.scrollToShow(static_cast<std::size_t>(anchor), viewport()->width(),
                                          bar->value()));
}

void CPictureView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
    emit focusGained();
}

void CPictureView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void CPictureView::dragEnterEvent(QDragEnterEvent* event) {
    // The strip's own drag attaches nothing to the entry it comes from.
    if (!m_readOnly && !m_draggingOut && !DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CPictureView::dragMoveEvent(QDragMoveEvent* event) {
    if (!m_readOnly && !m_draggingOut && !DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CPictureView::dropEvent(QDropEvent* event) {
    const QStringList paths = DroppedFiles(event->mimeData());
    if (m_readOnly || m_draggingOut || paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}

}  // namespace tl::diary
