#pragma once
// The review before a Save (chapter, setting, value in the module, value
// after Save; "Save", "Cancel" and "Do not ask again") and the list of what
// the module did not take after one. Both end, unanswered, when closing
// begins.

#include "cansettings/CanSettings.h"

#include <QObject>

class IShell;
class QWidget;
class TSession;

class TChangesDialogs : public QObject, public IChangesView {
    Q_OBJECT
public:
    // parent: the window the lists show over.
    TChangesDialogs(TSession& session, QWidget* parent);

    bool ConfirmChanges(const std::vector<TChange>& changes, bool* dontAskAgain) override;
    void ShowMismatches(const std::vector<TMismatch>& mismatches) override;

private:
    QString Message(int number) const;

    TSession& Session;
    IShell& Shell;
    QWidget* Parent;
};
