#include "CanSettingsFeature.h"

#include "MainWindowUi.h"
#include "TemplatesFeature.h"
#include "base/THFLatcher.h"
#include "cansettings/CanSettings.h"
#include "cansettings/CarDatabaseFile.h"
#include "cansettings/CarSelection.h"
#include "cansettings/MapCycle.h"
#include "cansettings/view/CanSettingsPanel.h"
#include "cansettings/view/CarPage.h"
#include "cansettings/view/ParamTreeView.h"
#include "files/AppFolders.h"
#include "i18n/MessageTable.h"
#include "link/TRV5K.h"
#include "session/Session.h"

#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

TCanSettingsFeature::TCanSettingsFeature(TSession& session, TMainWindowUi& ui, QObject* parent)
    : QObject(parent), Session(session), Can(new TCanSettings(session, this)),
      CanPanel(new TCanSettingsPanel(*Can, ui.TabSettings)),
      Selection(new TCarSelection(*Can, session, this)),
      CarControls(new TCarPage(*Selection, ui.TabCar)),
      TemplateControls(new TTemplatesFeature(session, *Can, ui, this)) {
    ui.SettingsLayout->addWidget(CanPanel, 1);
    ui.CarLayout->addWidget(CarControls);
    ui.CarLayout->addWidget(CanPanel->VST2(), 1);
    Can->LanguageChanged();
    connect(ui.SaveButton, &QPushButton::clicked, Can, &TCanSettings::Save);
    // Whatever the pages showed belongs to a module that is not the one a
    // Save would reach any more.
    connect(&session, &TSession::ShownModuleGone, Can, &TCanSettings::ResetView);
    ConnectLinks(session);
}

void TCanSettingsFeature::ConnectLinks(TSession& session) {
    TMapCycle* cycle = &Can->Cycle();
    if (TRV5K* link = session.UsbLink()) {
        connect(link, &TRV5K::OnRV5KFNMemoryMap, cycle, &TMapCycle::StoreFnPage);
        connect(link, &TRV5K::OnFNandNN, cycle, &TMapCycle::OnFNandNN);
        connect(link, &TRV5K::OnWriteProg, cycle, &TMapCycle::OnWriteProg);
        connect(link, &TRV5K::OnReadProgCnt, cycle, &TMapCycle::OnReadProgCnt);
        connect(link, &TRV5K::OnReadProg, cycle, &TMapCycle::OnReadProg);
        connect(link, &TRV5K::OnParametersMap, cycle, &TMapCycle::StoreNnPage);
        connect(link, &TRV5K::OnZoneStatus, Can, &TCanSettings::ApplyLiveStates);
    }
    if (THFLatcher* base = session.BaseLink()) {
        // The base's read goes on only while its map pages have a receiver.
        connect(base, &THFLatcher::OnHFRV5KFNMap, cycle, &TMapCycle::StoreBaseFnPage);
        connect(base, &THFLatcher::OnFNandNN, cycle, &TMapCycle::OnFNandNN);
        connect(base, &THFLatcher::OnWriteProg, cycle, &TMapCycle::OnWriteProg);
        connect(base, &THFLatcher::OnReadProgCnt, cycle, &TMapCycle::OnReadProgCnt);
        connect(base, &THFLatcher::OnReadProg, cycle, &TMapCycle::OnReadProg);
        connect(base, &THFLatcher::OnZoneStatus, Can, &TCanSettings::ApplyLiveStates);
    }
}

void TCanSettingsFeature::LoadFiles() {
    // The catalogue of the working folder; an installed program, started from
    // any folder, takes the one installed beside it.
    QString catalogue = QStringLiteral("Functions.csv");
    if (!QFile::exists(catalogue) && QFile::exists(ProgramFolder() + catalogue))
        catalogue = ProgramFolder() + catalogue;
    if (const auto message = Can->LoadCatalogue(catalogue)) {
        if (message->Box == TCatalogueMessage::Error) {
            Session.Shell().ShowMessageBox(message->Text, Box::Error, Box::Ok);
        } else {
            // A plain box: the catalogue's own texts, no title of a kind.
            QMessageBox box(QMessageBox::NoIcon, QStringLiteral("RV5K"), message->Text,
                            QMessageBox::Ok);
            box.setWindowModality(Qt::ApplicationModal);
            box.exec();
        }
    }
    const QString carList = QStringLiteral("CANDATA_FULL.csv");
    // A fresh install starts from the list shipped beside the program.
    if (QString error; !InstallShippedFile(carList, &error) && !error.isEmpty())
        Session.Shell().ShowMessageBox(error, Box::Error, Box::Ok);
    TCarDatabaseFile::LoadCarDatabase(AppDataFolder() + carList, Selection->CarDatabase());
}

void TCanSettingsFeature::LanguageChanged(const TMessageTable& messages) {
    Can->SelectCatalogueLanguage(messages.LanguageName(messages.CurrentLanguage()));
    Can->LanguageChanged();
    Selection->LanguageChanged();
}
