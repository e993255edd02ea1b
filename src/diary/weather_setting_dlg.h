#pragma once

// "Weather Settings": the twenty weather choices.

#include <QDialog>
#include <array>

#include "store/records.h"

class QLineEdit;

namespace tl::diary {

class CWeatherSettingDlg : public QDialog {
    Q_OBJECT

public:
    explicit CWeatherSettingDlg(const store::WeatherList& choices, QWidget* parent = nullptr);
    store::WeatherList choices() const;
    QLineEdit* edit(std::size_t index) const { return m_edits[index]; }

private:
    std::array<QLineEdit*, store::kWeatherChoices> m_edits{};
};

}  // namespace tl::diary
