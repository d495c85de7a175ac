#pragma once
// A numeric spin editor with a gauge bar under its value. The value changes
// only by its increment (the arrows and the up and down keys); typed
// characters are not taken.

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

signals:
    void Finished();  // Enter
    void Cancelled(); // Escape

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDoubleSpinBox* Spin;
};
