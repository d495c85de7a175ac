#pragma once
// A small round indicator lamp for the status bar. Its owner decides what a
// colour means; a new lamp is grey (no information yet).

#include <QColor>
#include <QWidget>

class TLamp : public QWidget {
    Q_OBJECT
public:
    explicit TLamp(QWidget* parent = nullptr);

    static QColor OffColor() { return QColor(160, 160, 160); }

    QColor Color() const { return LampColor; }
    void SetColor(const QColor& color);

    QSize sizeHint() const override { return {14, 14}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor LampColor = OffColor();
};
