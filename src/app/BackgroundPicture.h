#pragma once
// The picture of the main window's empty state: a module on its CAN cable
// waiting for the USB cable, drawn in code so the program needs no image files.

#include <QWidget>

class TBackgroundPicture : public QWidget {
    Q_OBJECT
public:
    explicit TBackgroundPicture(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {560, 300}; }
    QSize minimumSizeHint() const override { return {200, 120}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};
