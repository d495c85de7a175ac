#include "SetDefault.h"

#include "cansettings/CanSettings.h"
#include "session/Session.h"

TSetDefault::TSetDefault(TSession& session, TCanSettings& settings, QObject* parent)
    : QObject(parent), Session(session), Settings(settings) {}

void TSetDefault::Start() {
    // While a read runs the click does nothing, not even the question.
    if (Session.LinkBusy() != 0 || Session.Closing())
        return;
    IShell& shell = Session.Shell();
    if (shell.ShowMessageBox(shell.Message(QuestionMessage), Box::Confirmation,
                             Box::Yes | Box::No) != Box::ResultYes) {
        emit Finished(false);
        return;
    }
    if (BeforeWrite && !BeforeWrite()) {
        emit Finished(false);
        return;
    }
    shell.SetWindowEnabled(false);
    ILink* link = Session.Active();
    if (link)
        link->RestoreRV5KDefaults();
    shell.SetWindowEnabled(true);
    Settings.SaveCanSettings(true);
    emit Finished(link != nullptr);
}
