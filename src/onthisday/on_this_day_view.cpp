#include "on_this_day_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "diary/thumbnail_loader.h"
#include "store/diary_data_file.h"
#include "widgets/qt_color.h"
#include "widgets/scale.h"

namespace tl::onthisday {

namespace {

QString Q(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsJpegName(std::u16string_view name) {
    const std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) return false;
    const QString ext = Q(std::u16string(name.substr(dot + 1))).toLower();
    return ext == QLatin1String("jpg") || ext == QLatin1String("jpeg");
}

}  // namespace

COnThisDayView::COnThisDayView(store::CDiaryDataFile& file, QWidget* parent)
    : QAbstractScrollArea(parent), m_file(file) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    setAccessibleName(tr("On this day"));
}

COnThisDayView::~COnThisDayView() = default;

int COnThisDayView::thumbnailSide() const {
    return widgets::Scale(56);
}

QSize COnThisDayView::sizeHint() const {
    return {widgets::Scale(320), widgets::Scale(400)};
}

void COnThisDayView::setDate(store::Date asked) {
    const bool same = asked == m_asked;
    m_asked = asked;
    const int keep = same ? m_selected : -1;
    fill();
    if (!same) verticalScrollBar()->setValue(0);
    setSelectedRow(keep >= 0 && keep < static_cast<int>(m_rows.size()) ? keep
                   : m_rows.empty()                                    ? -1
                                                                       : 0);
}

// A write may put another picture at a unit: the thumbnails go too.
void COnThisDayView::reload() {
    m_thumbnails.clear();
    fill();
}

void COnThisDayView::fill() {
    m_rows =
        m_file.IsOpen() ? app::OnThisDayRows(m_file, m_asked) : std::vector<app::OnThisDayRow>{};
    if (m_selected >= static_cast<int>(m_rows.size()))
        m_selected = static_cast<int>(m_rows.size()) - 1;
    layOutRows();
    requestThumbnails();
    viewport()->update();
}

void COnThisDayView::layOutRows() {
    const QFontMetrics fm(font());
    m_stack.layOut(m_rows, {fm.lineSpacing(), thumbnailSide(), widgets::Scale(5)});
    verticalScrollBar()->setRange(0, std::max(0, m_stack.totalHeight() - viewport()->height()));
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setSingleStep(fm.lineSpacing());
}

// The strip's loader makes the thumbnails; its order is our row.
void COnThisDayView::requestThumbnails() {
    if (m_loader) m_loader->cancel();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const app::OnThisDayRow& row = m_rows[i];
        if (row.firstPictureUnit == 0 || m_thumbnails.contains(row.firstPictureUnit)) continue;
        if (!m_loader) {
            const qreal ratio = devicePixelRatioF();
            const int side = static_cast<int>(thumbnailSide() * ratio);
            m_loader = std::make_unique<diary::ThumbnailLoader>(m_file, QSize(side, side));
            connect(m_loader.get(), &diary::ThumbnailLoader::loaded, this,
                    &COnThisDayView::thumbnailLoaded);
            connect(m_loader.get(), &diary::ThumbnailLoader::finished, this,
                    &COnThisDayView::thumbnailsFinished);
        }
        m_loader->enqueue(static_cast<std::uint32_t>(i), row.firstPictureUnit,
                          IsJpegName(row.firstPictureName));
    }
}

void COnThisDayView::thumbnailLoaded(const diary::ThumbnailResult& result) {
    if (result.order >= m_rows.size()) return;
    const std::uint64_t unit = m_rows[result.order].firstPictureUnit;
    if (unit == 0) return;
    // A failure is kept as a null image: the frame stays empty, no retry.
    m_thumbnails.insert(
        unit, result.outcome == diary::ThumbnailOutcome::Ready ? result.thumbnail : QImage());
    viewport()->update(rowRect(static_cast<int>(result.order)));
}

bool COnThisDayView::thumbnailsDone() const {
    return !m_loader || m_loader->idle();
}

bool COnThisDayView::hasThumbnail(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return false;
    const auto it = m_thumbnails.constFind(m_rows[static_cast<std::size_t>(row)].firstPictureUnit);
    return it != m_thumbnails.constEnd() && !it->isNull();
}

QRect COnThisDayView::rowRect(int row) const {
    if (row < 0 || row >= m_stack.count()) return {};
    return {0, m_stack.top(row) - verticalScrollBar()->value(), viewport()->width(),
            m_stack.height(row)};
}

void COnThisDayView::setSelectedRow(int row) {
    if (row < -1 || row >= static_cast<int>(m_rows.size())) return;
    m_selected = row;
    if (row >= 0) ensureVisible(row);
    viewport()->update();
}

void COnThisDayView::ensureVisible(int row) {
    QScrollBar* bar = verticalScrollBar();
    const int top = m_stack.top(row);
    const int bottom = top + m_stack.height(row);
    if (top < bar->value())
        bar->setValue(top);
    else if (bottom > bar->value() + viewport()->height())
        bar->setValue(bottom - viewport()->height());
}

void COnThisDayView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    p.setClipRegion(event->region());
    if (m_rows.empty()) {
        p.setPen(palette().color(QPalette::PlaceholderText));
        const QString what = m_asked.day == 0 ? tr("No notes of this month in other years.")
                                              : tr("No entries on this date in other years.");
        p.drawText(viewport()->rect().adjusted(8, 8, -8, -8), Qt::AlignHCenter | Qt::TextWordWrap,
                   what);
        return;
    }
    const std::optional<int> first = m_stack.rowAt(verticalScrollBar()->value());
    for (int i = first.value_or(0); i < m_stack.count(); ++i) {
        const QRect r = rowRect(i);
        if (r.top() > viewport()->height()) break;
        if (r.intersects(event->rect())) paintRow(p, i, r);
    }
}

void COnThisDayView::paintRow(QPainter& p, int i, const QRect& r) {
    const app::OnThisDayRow& row = m_rows[static_cast<std::size_t>(i)];
    const bool selected = i == m_selected;
    const QPalette& pal = palette();
    if (selected)
        p.fillRect(
            r, pal.brush(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
    p.setPen(pal.color(QPalette::Mid));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    const QColor text = pal.color(selected ? QPalette::HighlightedText : QPalette::Text);
    const int pad = widgets::Scale(5);
    const int side = thumbnailSide();
    int x = r.left() + pad;
    if (row.firstPictureUnit != 0) {
        const QRect box(x, r.top() + pad, side, side);
        const auto it = m_thumbnails.constFind(row.firstPictureUnit);
        if (it != m_thumbnails.constEnd() && !it->isNull()) {
            QSize shown = it->size() / it->devicePixelRatio();
            shown.scale(box.size(), Qt::KeepAspectRatio);
            QRect target(QPoint(), shown);
            target.moveCenter(box.center());
            p.drawImage(target, *it);
        } else {
            p.setPen(pal.color(QPalette::Mid));
            p.drawRect(box.adjusted(0, 0, -1, -1));
        }
        x += side + pad;
    }
    const QFontMetrics fm(font());
    const int width = r.right() - pad - x;
    int y = r.top() + pad;
    // The heading: year, weekday, how long ago; the marks at the right.
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(text);
    const QString marks = Q(MarksText(row));
    const int marksWidth = marks.isEmpty() ? 0 : fm.horizontalAdvance(marks) + pad;
    p.drawText(
        QRect(x, y, width - marksWidth, fm.lineSpacing()), Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(bold).elidedText(Q(HeadingText(row)), Qt::ElideRight, width - marksWidth));
    p.setFont(font());
    if (!marks.isEmpty())
        p.drawText(QRect(x, y, width, fm.lineSpacing()), Qt::AlignRight | Qt::AlignVCenter, marks);
    y += fm.lineSpacing();
    // The title in its colours, then the weather.
    QString title = Q(row.title);
    if (title.isEmpty()) title = row.hasText ? tr("(no title)") : tr("(attached files only)");
    title = fm.elidedText(title, Qt::ElideRight, width);
    const int titleWidth = fm.horizontalAdvance(title);
    const QRect titleRect(x, y, titleWidth, fm.lineSpacing());
    if (!row.title.empty() && row.colors.backgroundOn)
        p.fillRect(titleRect.adjusted(-1, 0, 1, 0), widgets::ToQColor(row.colors.background));
    p.setPen(row.title.empty()                      ? pal.color(QPalette::PlaceholderText)
             : selected && !row.colors.backgroundOn ? text
                                                    : widgets::ToQColor(row.colors.text));
    p.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, title);
    if (!row.weather.empty() && titleWidth + pad < width) {
        p.setPen(text);
        p.drawText(QRect(x + titleWidth + pad, y, width - titleWidth - pad, fm.lineSpacing()),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(QStringLiteral("(%1)").arg(Q(row.weather)), Qt::ElideRight,
                                 width - titleWidth - pad));
    }
    y += fm.lineSpacing();
    p.setPen(text);
    for (const std::u16string& line : row.lines) {
        p.drawText(QRect(x, y, width, fm.lineSpacing()), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(Q(line), Qt::ElideRight, width));
        y += fm.lineSpacing();
    }
}

void COnThisDayView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    layOutRows();
}

void COnThisDayView::keyPressEvent(QKeyEvent* event) {
    std::optional<Move> move;
    switch (event->key()) {
        case Qt::Key_Up:
            move = Move::Up;
            break;
        case Qt::Key_Down:
            move = Move::Down;
            break;
        case Qt::Key_PageUp:
            move = Move::PageUp;
            break;
        case Qt::Key_PageDown:
            move = Move::PageDown;
            break;
        case Qt::Key_Home:
            move = Move::Home;
            break;
        case Qt::Key_End:
            move = Move::End;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_selected >= 0)
                emit openRequested(m_rows[static_cast<std::size_t>(m_selected)].date);
            return;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
    }
    // A page is as many rows as the typical row lets fit.
    const int rowHeight =
        m_stack.count() > 0 ? std::max(1, m_stack.totalHeight() / m_stack.count()) : 1;
    setSelectedRow(MovedRow(m_selected, static_cast<int>(m_rows.size()), *move,
                            viewport()->height() / rowHeight));
}

void COnThisDayView::mousePressEvent(QMouseEvent* event) {
    m_pressed = -1;
    if (event->button() != Qt::LeftButton) return;
    if (const std::optional<int> row =
            m_stack.rowAt(event->position().toPoint().y() + verticalScrollBar()->value())) {
        m_pressed = *row;
        setSelectedRow(*row);
    }
}

// A click opens: pressed and released on the same row.
void COnThisDayView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_pressed < 0) return;
    const std::optional<int> row =
        m_stack.rowAt(event->position().toPoint().y() + verticalScrollBar()->value());
    const int pressed = std::exchange(m_pressed, -1);
    if (row && *row == pressed) emit openRequested(m_rows[static_cast<std::size_t>(pressed)].date);
}

void COnThisDayView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    if (m_selected < 0 && !m_rows.empty()) setSelectedRow(0);
    viewport()->update();
}

COnThisDayWnd::COnThisDayWnd(store::CDiaryDataFile& file, QWidget* parent)
    : QDockWidget(tr("On this day"), parent), m_view(new COnThisDayView(file, this)) {
    setObjectName(QStringLiteral("ONTHISDAY"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    setWidget(m_view);
    setFocusProxy(m_view);
}

void COnThisDayWnd::setDate(store::Date asked) {
    m_view->setDate(asked);
    setWindowTitle(Q(CaptionText(asked)));
}

}  // namespace tl::onthisday
