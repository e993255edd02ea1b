#pragma once

// The translucency rate: a three-character field with an up-down control
// that steps by one within 0 to 99. The field itself takes any text, which
// OK checks (a rate outside 0 to 99 is refused there, with its message).

#include <QAbstractSpinBox>

namespace tl::frame {

class CRateSpin : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit CRateSpin(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;
};

}  // namespace tl::frame
