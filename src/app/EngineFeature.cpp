#include "EngineFeature.h"

#include "MainWindowUi.h"
#include "cansettings/CanSettings.h"
#include "engine/AutoStartBlock.h"
#include "engine/SetDefault.h"
#include "engine/view/EngineStartPage.h"
#include "link/TRV5K.h"
#include "session/Session.h"

#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TEngineFeature::TEngineFeature(TSession& session, TCanSettings& settings, TMainWindowUi& ui,
                               QObject* parent)
    : QObject(parent), Ui(ui), Defaults(new TSetDefault(session, settings, this)),
      StartPage(new TEngineStartPage(ui.TabAutoStart)) {
    ui.AutoStartLayout->addWidget(StartPage, 1);
    connect(ui.DefaultButton, &QPushButton::clicked, Defaults, &TSetDefault::Start);
    // The module's settings as last read are kept before it is reset.
    Defaults->SetBeforeWrite([&settings] { return settings.BeforeWrite(); });
    // Only the module link reports the block: through the base the page stays hidden.
    if (TRV5K* link = session.UsbLink())
        connect(link, &TRV5K::OnAutoStartParameters, this, [this](const tduomenys& block) {
            StartPage->Apply(AutoStartBlock::Decode(block));
            Ui.PageControl1->setTabVisible(Ui.PageControl1->indexOf(Ui.TabAutoStart), true);
        });
}

void TEngineFeature::LanguageChanged() {
    StartPage->Relayout();
}
