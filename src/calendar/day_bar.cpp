#include "day_bar.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <chrono>

#include "app/app_settings.h"
#include "arrow_buttons.h"
#include "calender_ctl.h"
#include "day_wnd.h"
#include "month_grid.h"
#include "side_bar_art.h"
#include "store/diary_data_file.h"
#include "widgets/popup_menu.h"
#include "widgets/scale.h"
#include "year_day_table.h"
#include "year_month_dlg.h"

namespace tl::calendar {

using widgets::Rect;

namespace {

store::Date DayBefore(store::Date d) {
    using namespace std::chrono;
    const sys_days before =
        sys_days(year_month_day(year(d.year), month(d.month), day(d.day))) - days(1);
    const year_month_day ymd(before);
    return {static_cast<std::int16_t>(static_cast<int>(ymd.year())),
            static_cast<std::uint8_t>(unsigned(ymd.month())),
            static_cast<std::uint8_t>(unsigned(ymd.day()))};
}

}  // namespace

CDayBar::CDayBar(store::CDiaryDataFile& file, app::AppSettings& settings, res::UserInterface& ui,
                 Today today, QWidget* parent)
    : QWidget(parent),
      m_file(file),
      m_settings(settings),
      m_ui(ui),
      m_today(std::move(today)),
      m_table(std::make_unique<YearDayTable>(file)) {
    m_table->RebuildYearTable(m_today().year, m_settings.dayBar.existOnly == 1);
    // The bar's small font; the calendar and the list take it from here.
    QFont small = font();
    small.setPointSizeF(8.5);
    setFont(small);
    m_background = QBrush(SideBarPattern());
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setMaximumWidth(ClampSideBarWidth(1 << 20, logicalDpiY()));
    createChildren();
    applyClickSettings();
}

CDayBar::~CDayBar() = default;

void CDayBar::createChildren() {
    m_todayButton = new QPushButton(tr("Today"), this);
    m_yesterdayButton = new QPushButton(tr("Yesterday"), this);
    connect(m_todayButton, &QPushButton::clicked, this, &CDayBar::todayRequested);
    connect(m_yesterdayButton, &QPushButton::clicked, this,
            [this] { emit openRequested(DayBefore(m_today()), true); });

    m_calendar = new CCalenderCtl(*m_table, m_today, this);
    connect(m_calendar, &CCalenderCtl::openRequested, this, &CDayBar::openRequested);
    connect(m_calendar, &CCalenderCtl::monthChanged, this, &CDayBar::showMonth);
    connect(m_calendar, &CCalenderCtl::yearMonthRequested, this, &CDayBar::ApplyYearMonth);
    connect(m_calendar, &CCalenderCtl::yearMonthDialogRequested, this, &CDayBar::chooseYearMonth);
    m_onThisDayButton = new QPushButton(tr("On this day"), this);
    m_onThisDayButton->setToolTip(tr("This date in every year of the diary"));
    connect(m_onThisDayButton, &QPushButton::clicked, this,
            [this] { emit onThisDayRequested(m_picked.year != 0 ? m_picked : m_today()); });
    const auto picked = [this](store::Date date) {
        if (date.month == 0) return;
        m_picked = date;
        emit dayPicked(date);
    };
    connect(m_calendar, &CCalenderCtl::dayPicked, this, picked);
    connect(this, &CDayBar::openRequested, this, picked);

    m_dayList = new CDayWnd(*m_table, m_today, this);
    connect(m_dayList, &CDayWnd::openRequested, this, &CDayBar::openRequested);
    connect(m_dayList, &CDayWnd::monthSelected, this, [this](int month) {
        if (month != m_calendar->displayedMonth()) m_calendar->setDisplayedMonth(month);
    });

    connect(m_calendar, &CCalenderCtl::contextMenuRequested, this, &CDayBar::showContextMenu);
    // The list keeps its hovered row while one of its menus is shown.
    const auto listMenu = [this](auto show) {
        m_dayList->setMenuOpen(true);
        show();
        m_dayList->setMenuOpen(false);
        m_dayList->update();
    };
    connect(m_dayList, &CDayWnd::contextMenuRequested, this,
            [this, listMenu](store::Date date, QPoint at) {
                emit saveRequested();
                listMenu([&] { showContextMenu(date, at); });
            });
    connect(m_dayList, &CDayWnd::focused, this, &CDayBar::saveRequested);
    connect(m_dayList, &CDayWnd::stripClicked, this, [this, listMenu](QPoint at) {
        listMenu([&] { m_calendar->showHeaderMenu(HeaderHalf::Month, at); });
    });

    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    connect(m_dayList, &CDayWnd::scrolled, this, [this](int top, int last) {
        const QSignalBlocker block(m_scrollBar);
        m_scrollBar->setRange(0, last);
        m_scrollBar->setPageStep(std::max(1, m_dayList->layout().visibleRows()));
        m_scrollBar->setValue(top);
    });
    connect(m_scrollBar, &QScrollBar::valueChanged, m_dayList, &CDayWnd::scrollTo);
    // The wheel over the scroll bar and the calendar moves the list by its
    // own rule.
    m_scrollBar->installEventFilter(this);
    m_calendar->installEventFilter(this);

    m_up = new CScrollBtn(ArrowDirection::Up, tr("Previous month"), this);
    m_down = new CScrollBtn(ArrowDirection::Down, tr("Next month"), this);
    connect(m_up, &QAbstractButton::clicked, this, [this] { monthPage(false); });
    connect(m_down, &QAbstractButton::clicked, this, [this] { monthPage(true); });
}

// Of "Put sticky note" and "Peel off sticky" the one that applies is enabled.
void CDayBar::showContextMenu(store::Date date, QPoint globalPos) {
    QMenu menu(this);
    connect(menu.addAction(tr("&Open")), &QAction::triggered, this,
            [this, date] { emit openRequested(date, true); });
    QAction* remove = menu.addAction(tr("&Delete"));
    remove->setEnabled(m_file.IsWritable());
    connect(remove, &QAction::triggered, this, [this, date] { emit deleteRequested(date); });
    const bool hasNote = m_hasNote && m_hasNote(date);
    QAction* put = menu.addAction(tr("Pu&t sticky note"));
    put->setEnabled(m_file.IsWritable() && m_hasNote && !hasNote);
    connect(put, &QAction::triggered, this, [this, date] { emit putNoteRequested(date); });
    QAction* peel = menu.addAction(tr("&Peel off sticky"));
    peel->setEnabled(m_file.IsWritable() && hasNote);
    connect(peel, &QAction::triggered, this, [this, date] { emit peelNoteRequested(date); });
    connect(menu.addAction(tr("Copy &link text")), &QAction::triggered, this,
            [this, date] { emit copyLinkRequested(date); });
    QAction* onThisDay =
        menu.addAction(date.day == 0 ? tr("This month in other &years") : tr("On this d&ay"));
    onThisDay->setEnabled(date.month != 0);
    connect(onThisDay, &QAction::triggered, this, [this, date] { emit onThisDayRequested(date); });
    widgets::ExecPopupMenu(menu, globalPos);
}

void CDayBar::applyClickSettings() {
    const bool opens = m_settings.etc.viewMode == 1;
    const bool pin = m_settings.etc.autoClose != 1;
    m_calendar->setClickOpens(opens, pin);
    m_dayList->setClickOpens(opens, pin);
}

QSize CDayBar::sizeHint() const {
    return {m_settings.dayBar.width, 400};
}

// The main window's splitter stops at the narrow width too; the height of
// the day buttons is the least that shows anything.
QSize CDayBar::minimumSizeHint() const {
    return {ClampSideBarWidth(0, logicalDpiY()),
            LayOutSideBar(width(), 0, false, logicalDpiY()).todayButton.bottom};
}

void CDayBar::ReloadYear(int year) {
    year = std::clamp(year, kFirstYear, kLastYear);
    const DayListLayout& list = m_dayList->layout();
    const bool had = m_table->count() > 0 && list.topRow() < m_table->count();
    const DayRow top = had ? m_table->row(list.topRow()) : DayRow{};
    m_table->RebuildYearTable(static_cast<std::int16_t>(year), m_table->existOnly());
    m_dayList->clearSelection();
    m_dayList->rebuildList();
    if (had && m_table->count() > 0)
        m_dayList->scrollTo(m_table->RowAtOrBefore(top.month, top.day));
    m_dayList->rebuildList();
    m_calendar->update();
}

void CDayBar::ApplyYearMonth(int year, int month) {
    // The month's first row on top first, so the reload keeps it there.
    if (const std::optional<int> row = m_table->FindRow(month, 0)) m_dayList->scrollTo(*row);
    ReloadYear(year);
    m_calendar->setDisplayedMonth(month);
    showMonth(month);
    update();
}

void CDayBar::chooseYearMonth() {
    // Typing into the dialog's number fields wants no input method.
    const bool imeOn = m_calendar->testAttribute(Qt::WA_InputMethodEnabled);
    m_calendar->setAttribute(Qt::WA_InputMethodEnabled, false);
    CSpecifyYearMonthDlg dialog(m_table->year(), m_calendar->displayedMonth(), m_ui, this);
    if (dialog.exec() == QDialog::Accepted) ApplyYearMonth(dialog.year(), dialog.month());
    m_calendar->setAttribute(Qt::WA_InputMethodEnabled, imeOn);
}

void CDayBar::GoToToday() {
    const store::Date today = m_today();
    ReloadYear(today.year);
    m_calendar->setDisplayedMonth(today.month);
    m_dayList->scrollTo(m_table->RowAtOrBefore(today.month, today.day));
}

void CDayBar::showMonth(int month) {
    if (const std::optional<int> row = m_table->FindRow(month, 0)) {
        const int top = std::min(*row, m_dayList->layout().lastTopRow());
        if (top != m_dayList->layout().topRow()) m_dayList->scrollTo(top);
    }
}

void CDayBar::monthPage(bool down) {
    const MonthPage page = down ? MonthPageDown(m_dayList->layout(), m_table->year())
                                : MonthPageUp(m_dayList->layout(), m_table->year());
    if (page.yearStep != 0) {
        m_table->RebuildYearTable(static_cast<std::int16_t>(m_table->year() + page.yearStep),
                                  m_table->existOnly());
        m_calendar->update();
    }
    m_dayList->scrollTo(page.topRow);
    m_dayList->rebuildList();
}

void CDayBar::toggleExistOnly() {
    const DayListLayout& list = m_dayList->layout();
    const bool had = list.topRow() < m_table->count();
    const DayRow top = had ? m_table->row(list.topRow()) : DayRow{};
    m_settings.dayBar.existOnly = m_table->existOnly() ? 0 : 1;
    m_table->RebuildYearTable(m_table->year(), m_settings.dayBar.existOnly == 1);
    m_dayList->clearSelection();
    m_dayList->scrollTo(had ? m_table->RowAtOrBefore(top.month, top.day) : 0);
    m_dayList->rebuildList();
    m_calendar->update();
}

void CDayBar::toggleWidth() {
    const int wide = widgets::Scale(264);
    const int width = this->width() >= wide ? widgets::Scale(65) : wide;
    m_settings.dayBar.width = width;
    emit widthDragged(width);
}

void CDayBar::registerCommands(res::CommandRegistry& commands) {
    commands.add(*this, {res::Cmd::ViewCalendar, res::Cmd::ExistOnly, res::Cmd::SideBarScale});
}

bool CDayBar::isEnabled(res::Cmd) const {
    return true;  // the main window greys F4 and F6 while the bar is hidden
}

void CDayBar::run(res::Cmd cmd) {
    switch (cmd) {
        case res::Cmd::ViewCalendar:
            // A bar too narrow for the calendar shows it when widened.
            setCalendarShown(!(calendarShown() && width() > 167));
            break;
        case res::Cmd::ExistOnly:
            toggleExistOnly();
            break;
        case res::Cmd::SideBarScale:
            toggleWidth();
            break;
        default:
            break;
    }
}

std::optional<bool> CDayBar::isChecked(res::Cmd cmd) const {
    switch (cmd) {
        case res::Cmd::ViewCalendar:
            return calendarShown();
        case res::Cmd::ExistOnly:
            return m_settings.dayBar.existOnly == 1;
        case res::Cmd::SideBarScale:
            return width() >= widgets::Scale(264);
        default:
            return std::nullopt;
    }
}

void CDayBar::setCalendarShown(bool shown) {
    m_settings.dayBar.calendarShown = shown ? 1 : 0;
    layoutChildren();
    m_dayList->rebuildList();
}

bool CDayBar::calendarShown() const {
    return m_settings.dayBar.calendarShown == 1;
}

void CDayBar::onEntryChanged(store::Date date) {
    if (date.year != m_table->year() || !m_file.IsOpen()) return;
    store::EntryHeader header;
    if (m_file.ReadEntryHeader(date, &header))
        m_table->OnEntrySaved(date, header.title, header.colors);
    else
        m_table->OnEntryDeleted(date);
    bool picture = false;
    bool other = false;
    for (const store::AttachmentInfo& a : m_file.ListAttachments(date))
        (IsPictureName(a.name) ? picture : other) = true;
    m_table->OnAttachmentFlag(date, AttachmentKind::Picture, picture);
    m_table->OnAttachmentFlag(date, AttachmentKind::File, other);
    m_dayList->rebuildList();
    m_calendar->update();
}

void CDayBar::resizeEvent(QResizeEvent*) {
    layoutChildren();
}

void CDayBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), m_background);
}

// The wheel anywhere over the bar scrolls the day list, whatever has the focus.
void CDayBar::wheelEvent(QWheelEvent* event) {
    m_dayList->wheel(event->angleDelta().y());
}

bool CDayBar::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_scrollBar || watched == m_calendar) && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CDayBar::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    emit saveRequested();
}

void CDayBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        if (m_drag == Drag::None) emit saveRequested();
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    m_pressWidth = width();
    m_pressX = event->globalPosition().toPoint().x();
    m_drag = OnResizeGrip(event->position().toPoint().x(), width(), m_dockSide) ? Drag::Resizing
                                                                                : Drag::Docking;
}

void CDayBar::mouseMoveEvent(QMouseEvent* event) {
    const int x = event->globalPosition().toPoint().x();
    switch (m_drag) {
        case Drag::None:
            if (OnResizeGrip(event->position().toPoint().x(), width(), m_dockSide))
                setCursor(Qt::SizeHorCursor);
            else
                unsetCursor();
            break;
        case Drag::Resizing: {
            const int w = DraggedWidth(m_pressWidth, m_pressX, x, m_dockSide, logicalDpiY());
            if (w != width()) emit widthDragged(w);
            break;
        }
        case Drag::Docking: {
            const QRect frame = window()->frameGeometry();
            const QPoint barLeft = mapToGlobal(QPoint(0, 0));
            if (const std::optional<DockSide> side = DockSideWhileDragging(
                    x, barLeft.x(), barLeft.x() + width(), frame.left(), frame.right() + 1);
                side && *side != m_dockSide)
                emit dockSideDragged(*side);
            break;
        }
    }
}

void CDayBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (m_drag == Drag::Resizing && width() < ClampSideBarWidth(0, logicalDpiY()))
        emit widthDragged(ClampSideBarWidth(0, logicalDpiY()));
    m_drag = Drag::None;
}

void CDayBar::layoutChildren() {
    const SideBarLayout l = LayOutSideBar(width(), height(), calendarShown(), logicalDpiY());
    const auto place = [](QWidget* w, const Rect& r) {
        w->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
    };
    m_calendar->setVisible(l.calendarShown);
    if (l.calendarShown) place(m_calendar, l.calendar);
    place(m_todayButton, l.todayButton);
    m_yesterdayButton->setVisible(l.yesterdayShown);
    if (l.yesterdayShown) place(m_yesterdayButton, l.yesterdayButton);
    m_onThisDayButton->setVisible(l.onThisDayShown);
    if (l.onThisDayShown) place(m_onThisDayButton, l.onThisDayButton);
    place(m_up, l.upButton);
    place(m_down, l.downButton);
    place(m_scrollBar, l.scrollBar);
    place(m_dayList, l.dayList);
    for (QWidget* w : std::initializer_list<QWidget*>{m_dayList, m_up, m_down, m_scrollBar})
        w->setVisible(l.listShown);
}

}  // namespace tl::calendar
