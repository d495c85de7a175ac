#include "MessageBox.h"

#include "i18n/MessageTable.h"
#include "session/Shell.h"

#include <QMessageBox>
#include <QPushButton>

namespace {
QMessageBox::Icon IconOf(int kind) {
    switch (kind) {
    case Box::Error:
        return QMessageBox::Critical;
    case Box::Information:
        return QMessageBox::Information;
    case Box::Confirmation:
        return QMessageBox::Question;
    default:
        return QMessageBox::Warning;
    }
}
// The box's own texts by message number; until a language has been read (or
// when it lacks one) the designed English text stands in, so that no title
// or button is ever blank.
QString BoxText(const TMessageTable& messages, int number) {
    if (QString text = messages.WideMess(number); !text.isEmpty())
        return text;
    switch (number) {
    case 34:
        return QStringLiteral("Error");
    case 35:
        return QStringLiteral("Information");
    case 36:
        return QStringLiteral("Confirmation");
    case 37:
        return QStringLiteral("Warning");
    case 38:
        return QStringLiteral("Yes");
    case 39:
        return QStringLiteral("No");
    case 40:
        return QStringLiteral("Cancel");
    default:
        return {};
    }
}
} // namespace

int TMessageBox::TitleMessage(int kind) {
    switch (kind) {
    case Box::Error:
        return 34;
    case Box::Information:
        return 35;
    case Box::Confirmation:
        return 36;
    default:
        return 37;
    }
}

int TMessageBox::Show(const TMessageTable& messages, const QString& text, int kind, int buttons) {
    QMessageBox box(IconOf(kind), BoxText(messages, TitleMessage(kind)), text);
    box.setWindowModality(Qt::ApplicationModal);
    // A box without any button could not be closed.
    if ((buttons & (Box::Yes | Box::No | Box::Ok | Box::Cancel)) == 0)
        buttons = Box::Ok;
    if (buttons & Box::Yes)
        box.addButton(QMessageBox::Yes)->setText(BoxText(messages, 38));
    if (buttons & Box::No)
        box.addButton(QMessageBox::No)->setText(BoxText(messages, 39));
    if (buttons & Box::Ok)
        box.addButton(QMessageBox::Ok);
    if (buttons & Box::Cancel)
        box.addButton(QMessageBox::Cancel)->setText(BoxText(messages, 40));
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return Box::ResultYes;
    case QMessageBox::No:
        return Box::ResultNo;
    case QMessageBox::Ok:
        return Box::ResultOk;
    default:
        return Box::ResultCancel;
    }
}
