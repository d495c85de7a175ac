#include "TemplatesFeature.h"

#include "MainWindowUi.h"
#include "cansettings/Backups.h"
#include "cansettings/CanSettings.h"
#include "cansettings/Templates.h"
#include "cansettings/view/TemplatesPage.h"
#include "session/Session.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

TTemplatesFeature::TTemplatesFeature(TSession& session, TCanSettings& settings, TMainWindowUi& ui,
                                     QObject* parent)
    : QObject(parent), Store(std::make_unique<TBackups>(session.Shell())),
      Operations(new TTemplates(settings, session, *Store, this)),
      Controls(new TTemplatesPage(*Operations, settings, session.Shell(), ui.TabTemplates)) {
    ui.TemplatesLayout->insertWidget(0, Controls);
    // From the tabs the keyboard goes down the page as the eye does.
    QWidget* previous = ui.PageControl1->tabBar();
    for (QWidget* next : {static_cast<QWidget*>(Controls->SaveButton()),
                          static_cast<QWidget*>(Controls->SavePinBox()),
                          static_cast<QWidget*>(Controls->LoadButton()),
                          static_cast<QWidget*>(Controls->RestoreButton()),
                          static_cast<QWidget*>(ui.ReadOnConnectBox)}) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    }
    // Whatever writes to a module asks first; the backup is made then.
    GuardWritesWithBackups(settings, session, *Store);
}

TTemplatesFeature::~TTemplatesFeature() = default;
