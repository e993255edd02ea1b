#include "find_dlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/app_settings.h"
#include "find_rules.h"
#include "hit_list.h"
#include "res/user_interface.h"
#include "widgets/scale.h"

namespace tl::diary {

using widgets::Scale;

namespace {

QString FromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string ToUtf8(const QString& s) {
    return s.toStdString();
}

QString DatesText(int n) {
    return n == 1 ? QObject::tr("1 date") : QObject::tr("%1 dates").arg(n);
}

}  // namespace

CFindDlg::CFindDlg(app::AppSettings& settings, res::UserInterface& ui, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_ui(ui) {
    setWindowTitle(tr("Find"));
    setModal(false);
    createControls();
    // Preset from the settings, with an empty first word.
    loadChoices();
}

void CFindDlg::loadChoices() {
    const auto& f = m_settings.find;
    m_and->setChecked(f.andMode != 0);
    m_or->setChecked(f.orMode != 0 && f.andMode == 0);
    (f.contain != 0 ? m_include : m_exclude)->setChecked(true);
    m_case->setChecked(f.matchCase != 0);
    m_closeAfter->setChecked(f.afterClose != 0);
    (f.direction != 0 ? m_next : m_previous)->setChecked(true);
    m_acrossDay->setChecked(f.overDay != 0);
    updateRules();
}

void CFindDlg::createControls() {
    auto* grid = new QGridLayout;
    m_first = new QComboBox(this);
    m_first->setEditable(true);
    m_first->setInsertPolicy(QComboBox::NoInsert);
    m_first->setMinimumWidth(Scale(220));
    m_first->setObjectName("firstWord");
    m_second = new QComboBox(this);
    m_second->setEditable(true);
    m_second->setInsertPolicy(QComboBox::NoInsert);
    m_second->setObjectName("secondWord");
    auto* firstLabel = new QLabel(tr("Find &what:"), this);
    firstLabel->setBuddy(m_first);
    m_secondLabel = new QLabel(tr("&Second word:"), this);
    m_secondLabel->setBuddy(m_second);
    m_and = new QCheckBox(tr("and"), this);
    m_or = new QCheckBox(tr("or"), this);
    m_include = new QRadioButton(tr("include"), this);
    m_exclude = new QRadioButton(tr("not include"), this);
    m_case = new QCheckBox(tr("Match case"), this);
    m_closeAfter = new QCheckBox(tr("Close this window after find"), this);
    m_previous = new QRadioButton(tr("Previous"), this);
    m_next = new QRadioButton(tr("Next"), this);
    m_acrossDay = new QCheckBox(tr("&Across day"), this);
    m_findButton = new QPushButton(tr("&Find"), this);
    m_findButton->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    m_listButton = new QPushButton(tr("&List all dates"), this);
    m_listButton->setToolTip(tr("Every date that matches, in date order"));

    auto* modes = new QHBoxLayout;
    modes->addWidget(m_and);
    modes->addWidget(m_or);
    modes->addStretch();
    auto* inclusion = new QHBoxLayout;
    inclusion->addWidget(m_include);
    inclusion->addWidget(m_exclude);
    inclusion->addStretch();
    auto* direction = new QGroupBox(tr("Direction"), this);
    auto* directionRow = new QHBoxLayout(direction);
    directionRow->addWidget(m_previous);
    directionRow->addWidget(m_next);
    auto* options = new QVBoxLayout;
    options->addWidget(m_case);
    options->addWidget(m_closeAfter);
    options->addWidget(m_acrossDay);
    auto* lower = new QHBoxLayout;
    lower->addLayout(options);
    lower->addWidget(direction);

    grid->addWidget(firstLabel, 0, 0);
    grid->addWidget(m_first, 0, 1);
    grid->addLayout(modes, 1, 1);
    grid->addWidget(m_secondLabel, 2, 0);
    grid->addWidget(m_second, 2, 1);
    grid->addLayout(inclusion, 3, 1);
    grid->addLayout(lower, 4, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findButton);
    buttons->addWidget(cancel);
    buttons->addSpacing(Scale(8));
    buttons->addWidget(m_listButton);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 5, 1);
    grid->setColumnStretch(1, 1);

    // The hit list, shown once a listing was asked for.
    m_listArea = new QWidget(this);
    auto* listLayout = new QVBoxLayout(m_listArea);
    listLayout->setContentsMargins(0, Scale(6), 0, 0);
    m_hits = new CHitListView(m_listArea);
    m_hits->header()->setStretchLastSection(true);
    auto* status = new QHBoxLayout;
    m_count = new QLabel(m_listArea);
    m_progress = new QProgressBar(m_listArea);
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_stop = new QPushButton(tr("&Stop"), m_listArea);
    status->addWidget(m_count, 1);
    status->addWidget(m_progress, 1);
    status->addWidget(m_stop);
    listLayout->addWidget(m_hits, 1);
    listLayout->addLayout(status);
    m_progress->hide();
    m_stop->hide();
    m_listArea->hide();

    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addWidget(m_listArea, 1);

    connect(m_and, &QCheckBox::toggled, this, [this](bool on) {
        if (on) m_or->setChecked(false);
        updateRules();
    });
    connect(m_or, &QCheckBox::toggled, this, [this](bool on) {
        if (on) m_and->setChecked(false);
        updateRules();
    });
    connect(m_findButton, &QPushButton::clicked, this, [this] {
        if (!acceptWords()) return;
        const bool forward = m_next->isChecked();
        emit findRequested(forward);
        if (m_closeAfter->isChecked()) {
            hideAndRemember();
        } else {
            raise();
            activateWindow();
        }
    });
    connect(cancel, &QPushButton::clicked, this, &CFindDlg::reject);
    connect(m_listButton, &QPushButton::clicked, this, [this] {
        if (!acceptWords()) return;
        if (m_listArea->isHidden()) {
            m_listArea->show();
            resize(std::max(width(), Scale(640)), std::max(height(), Scale(460)));
        }
        emit listRequested();
    });
    connect(m_stop, &QPushButton::clicked, m_hits, &CHitListView::stop);
    connect(m_hits, &CHitListView::progress, this, [this](double share) {
        m_progress->show();
        m_stop->show();
        m_progress->setValue(static_cast<int>(share * 1000));
        m_count->setText(DatesText(m_hits->hits()->rowCount()) + tr(" so far"));
    });
    connect(m_hits, &CHitListView::finished, this, &CFindDlg::listFinished);
    connect(m_hits, &CHitListView::hitChosen, this, &CFindDlg::hitChosen);
    for (bool forward : {true, false}) {
        auto* key =
            new QShortcut(QKeySequence(forward ? Qt::Key_F3 : Qt::SHIFT | Qt::Key_F3), this);
        connect(key, &QShortcut::activated, this, [this, forward] { emit stepRequested(forward); });
    }
}

void CFindDlg::listFinished(int dates, bool complete) {
    m_progress->hide();
    m_stop->hide();
    m_count->setText(complete ? DatesText(dates) : DatesText(dates) + tr(", stopped"));
}

// "and" and "or" exclude each other; without either the second word is
// not used; with "or" it is always included.
void CFindDlg::updateRules() {
    const bool twoWords = m_and->isChecked() || m_or->isChecked();
    m_second->setEnabled(twoWords);
    m_secondLabel->setEnabled(twoWords);
    m_exclude->setEnabled(m_and->isChecked());
    if (m_or->isChecked()) m_include->setChecked(true);
}

void CFindDlg::fillHistory(QComboBox* box, int word, const QString& text) {
    box->clear();
    for (const std::u16string& entry : m_history[word])
        if (!entry.empty()) box->addItem(QString::fromStdU16String(entry));
    box->setEditText(text);
}

void CFindDlg::showWith(const QString& selectedText) {
    const auto& f = m_settings.find;
    fillHistory(m_first, 0, selectedText.isEmpty() ? FromUtf8(f.text) : selectedText);
    fillHistory(m_second, 1, FromUtf8(f.text2));
    loadChoices();
    if (f.windowX != -1 || f.windowY != -1) {
        move(f.windowX, f.windowY);
    } else if (!m_placed && parentWidget()) {
        adjustSize();
        const QRect over = parentWidget()->window()->frameGeometry();
        move(over.center() - QPoint(width() / 2, height() / 2));
    }
    m_placed = true;
    show();
    raise();
    activateWindow();
    m_first->setFocus(Qt::OtherFocusReason);
    m_first->lineEdit()->selectAll();
}

bool CFindDlg::acceptWords() {
    const QString first = m_first->currentText();
    if (first.isEmpty()) {
        m_ui.warn(res::Msg::EnterTextToSearch);
        m_first->setFocus(Qt::OtherFocusReason);
        return false;
    }
    auto& f = m_settings.find;
    f.text = ToUtf8(first);
    f.text2 = ToUtf8(m_second->currentText());
    f.direction = m_next->isChecked() ? 1 : 0;
    f.matchCase = m_case->isChecked() ? 1 : 0;
    f.overDay = m_acrossDay->isChecked() ? 1 : 0;
    f.andMode = m_and->isChecked() ? 1 : 0;
    f.orMode = m_or->isChecked() ? 1 : 0;
    f.afterClose = m_closeAfter->isChecked() ? 1 : 0;
    f.contain = m_include->isChecked() ? 1 : 0;
    PushHistory(m_history[0], first.toStdU16String());
    PushHistory(m_history[1], m_second->currentText().toStdU16String());
    fillHistory(m_first, 0, first);
    fillHistory(m_second, 1, m_second->currentText());
    return true;
}

void CFindDlg::hideAndRemember() {
    m_settings.find.windowX = pos().x();
    m_settings.find.windowY = pos().y();
    hide();
}

void CFindDlg::reject() {
    hideAndRemember();
}

void CFindDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    hideAndRemember();
}

}  // namespace tl::diary
