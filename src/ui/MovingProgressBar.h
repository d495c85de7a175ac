#pragma once
// An indeterminate progress bar: a block that travels along the bar and starts
// again at the left, for work whose length is not known in advance. It shows
// no percentage. The step timer runs only while the bar is shown, so a hidden
// progress window costs nothing.

#include <QColor>
#include <QWidget>

class QTimer;

class TMovingProgressBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int StepIntervalMs = 70;
    static constexpr int StepPixels = 6;

    explicit TMovingProgressBar(QWidget* parent = nullptr);

    static QColor BlockColor() { return QColor(232, 116, 0); }

    // Left edge of the block, in pixels from the bar's inner left edge.
    int Position() const { return BlockLeft; }
    bool Moving() const;

    QSize sizeHint() const override { return {200, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Step();
    int BlockWidth() const;

    QTimer* StepTimer;
    int BlockLeft = 0;
};
