#pragma once
// A numeric spin editor with a gauge bar under its value. The value changes
// by its increment (the arrows and the up and down keys) or by typing it;
// Enter takes a typed value rounded to the increment when it lies within the
// limits, and refuses one outside them where the user sees it: the field turns
// red and says the limits, and the editor stays open.

#include <QWidget>

class QDoubleSpinBox;

class TSpinGauge : public QWidget {
    Q_OBJECT
public:
    explicit TSpinGauge(QWidget* parent = nullptr);

    void SetRange(double minimum, double maximum, double step);
    void SetValue(double value);
    double Value() const;
    QString Text() const;
    QDoubleSpinBox* SpinBox() const { return Spin; }
    // The typed text was outside the limits (shown until the next key).
    bool Refused() const { return IsRefused; }

signals:
    void Finished();  // Enter
    void Cancelled(); // Escape

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Enter: a value to take, or the refusal shown.
    bool Accept();
    void ShowRefused(bool refused);

    QDoubleSpinBox* Spin;
    bool IsRefused = false;
};
