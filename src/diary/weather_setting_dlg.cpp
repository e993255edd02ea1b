#include "weather_setting_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "widgets/dialog_parts.h"

namespace tl::diary {

CWeatherSettingDlg::CWeatherSettingDlg(const store::WeatherList& choices, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Weather Settings"));
    auto* grid = new QGridLayout;
    // Two columns of ten, numbered 1 to 20.
    for (std::size_t i = 0; i < store::kWeatherChoices; ++i) {
        auto* edit = new QLineEdit(QString::fromStdU16String(choices[i]), this);
        edit->setMaxLength(static_cast<int>(store::kWeatherMax));
        int column = static_cast<int>(i / 10) * 2;
        int row = static_cast<int>(i % 10);
        grid->addWidget(new QLabel(QString::number(i + 1), this), row, column, Qt::AlignRight);
        grid->addWidget(edit, row, column + 1);
        m_edits[i] = edit;
    }
    QDialogButtonBox* buttons = widgets::OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

store::WeatherList CWeatherSettingDlg::choices() const {
    store::WeatherList list;
    for (std::size_t i = 0; i < store::kWeatherChoices; ++i)
        list[i] = m_edits[i]->text().toStdU16String();
    return list;
}

}  // namespace tl::diary
