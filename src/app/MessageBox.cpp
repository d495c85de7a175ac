#include "MessageBox.h"

#include "i18n/MessageTable.h"

#include <QMessageBox>
#include <QPushButton>

namespace {
QMessageBox::Icon IconOf(int kind) {
    switch (kind) {
    case TMessageBox::Error:
        return QMessageBox::Critical;
    case TMessageBox::Information:
        return QMessageBox::Information;
    case TMessageBox::Confirmation:
        return QMessageBox::Question;
    default:
        return QMessageBox::Warning;
    }
}
} // namespace

int TMessageBox::TitleMessage(int kind) {
    switch (kind) {
    case Error:
        return 34;
    case Information:
        return 35;
    case Confirmation:
        return 36;
    default:
        return 37;
    }
}

int TMessageBox::Show(const TMessageTable& messages, const QString& text, int kind, int buttons) {
    QMessageBox box(IconOf(kind), messages.WideMess(TitleMessage(kind)), text);
    box.setWindowModality(Qt::ApplicationModal);
    // A box without any button could not be closed.
    if ((buttons & (Yes | No | Ok | Cancel)) == 0)
        buttons = Ok;
    if (buttons & Yes)
        box.addButton(QMessageBox::Yes)->setText(messages.WideMess(38));
    if (buttons & No)
        box.addButton(QMessageBox::No)->setText(messages.WideMess(39));
    if (buttons & Ok)
        box.addButton(QMessageBox::Ok);
    if (buttons & Cancel)
        box.addButton(QMessageBox::Cancel)->setText(messages.WideMess(40));
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return ResultYes;
    case QMessageBox::No:
        return ResultNo;
    case QMessageBox::Ok:
        return ResultOk;
    default:
        return ResultCancel;
    }
}
