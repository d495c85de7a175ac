#include "WindowShell.h"

#include "EventWaiter.h"
#include "MainWindowUi.h"
#include "MessageBox.h"
#include "TForm5.h"
#include "TForm7.h"
#include "i18n/MessageTable.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>

namespace {
constexpr int PasswordTitleMessage = 64;
constexpr int PasswordPromptMessage = 65;
constexpr int CancelMessage = 40;
} // namespace

TWindowShell::TWindowShell(QMainWindow* window, TMainWindowUi& ui, const TMessageTable& messages,
                           QObject* parent)
    : QObject(parent), Window(window), Ui(ui), Messages(messages), Waiter(new TEventWaiter(this)) {}

void TWindowShell::Close() {
    Waiter->Close();
    if (ProgressShowing())
        HideProgress();
}

QString TWindowShell::Message(int number) const {
    return Messages.WideMess(number);
}

int TWindowShell::ShowMessageBox(const QString& text, int kind, int buttons) {
    return TMessageBox::Show(Messages, text, kind, buttons);
}

void TWindowShell::Wait(int milliseconds) {
    Waiter->Wait(milliseconds);
}

void TWindowShell::WaitUntil(const std::function<bool()>& done, int pollMilliseconds) {
    Waiter->WaitUntil(done, pollMilliseconds);
}

void TWindowShell::ShowProgress(int messageNumber) {
    if (Progress)
        Progress->ShowProgress(Messages.WideMess(messageNumber));
}

void TWindowShell::HideProgress() {
    if (Progress)
        Progress->HideProgress();
    Window->setEnabled(true);
}

bool TWindowShell::ProgressShowing() const {
    return Progress && Progress->isVisible();
}

void TWindowShell::SetWindowEnabled(bool enabled) {
    Window->setEnabled(enabled);
}

bool TWindowShell::WindowEnabled() const {
    return Window->isEnabled();
}

void TWindowShell::ShowSettingsPanel(bool visible) {
    Ui.PageControl1->setVisible(visible);
    Ui.SaveButton->setVisible(visible);
    Ui.DefaultButton->setVisible(visible);
    Ui.RevertButton->setVisible(visible);
    Ui.ChangesLabel->setVisible(visible);
}

bool TWindowShell::SettingsPanelVisible() const {
    return !Ui.PageControl1->isHidden();
}

bool TWindowShell::AskUsbPassword(QByteArray* password) {
    // No parent: a box owned by a disabled window could not be answered.
    QInputDialog box;
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(Messages.WideMess(PasswordTitleMessage));
    box.setLabelText(Messages.WideMess(PasswordPromptMessage));
    box.setTextEchoMode(QLineEdit::Password);
    // The box's own "Cancel" in the user's language (OK reads the same in all).
    if (const QString cancel = Messages.WideMess(CancelMessage); !cancel.isEmpty())
        box.setCancelButtonText(cancel);
    box.setTextValue(QString());
    if (box.exec() != QDialog::Accepted)
        return false;
    *password = box.textValue().toLocal8Bit();
    return true;
}

int TWindowShell::ChooseModule(const QStringList& rows) {
    if (!SelectBase)
        return -1;
    // A disabled window sends no pings while the choice is being made.
    Window->setEnabled(false);
    const int row = SelectBase->Choose(Window, rows);
    Window->setEnabled(true);
    return row;
}
