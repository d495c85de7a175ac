#pragma once
// The download window that offers a newer tool or module firmware. The update
// check fills it; here it is the empty window with its caption.

#include <QWidget>

class QVBoxLayout;

class TFormHyper : public QWidget {
    Q_OBJECT
public:
    explicit TFormHyper(QWidget* parent = nullptr);

    QVBoxLayout* ContentLayout() const { return Content; }

private:
    QVBoxLayout* Content;
};
