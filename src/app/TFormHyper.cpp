#include "TFormHyper.h"

#include <QVBoxLayout>

TFormHyper::TFormHyper(QWidget* parent) : QWidget(parent, Qt::Window), Content(new QVBoxLayout) {
    setObjectName(QStringLiteral("FormHyper"));
    setWindowTitle(QStringLiteral("RV5K Loader"));
    setLayout(Content);
    resize(400, 200);
}
