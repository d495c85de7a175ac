#include "TemplatesFeature.h"

#include "MainWindowUi.h"
#include "cansettings/Backups.h"
#include "cansettings/CanSettings.h"
#include "cansettings/Templates.h"
#include "cansettings/view/TemplatesPage.h"
#include "session/Session.h"

#include <QVBoxLayout>

TTemplatesFeature::TTemplatesFeature(TSession& session, TCanSettings& settings, TMainWindowUi& ui,
                                     QObject* parent)
    : QObject(parent), Store(std::make_unique<TBackups>(session.Shell())),
      Operations(new TTemplates(settings, session, *Store, this)),
      Controls(new TTemplatesPage(*Operations, settings, session.Shell(), ui.TabTemplates)) {
    ui.TemplatesLayout->insertWidget(0, Controls);
    // Whatever writes to a module asks first; the backup is made then.
    GuardWritesWithBackups(settings, session, *Store);
}

TTemplatesFeature::~TTemplatesFeature() = default;
