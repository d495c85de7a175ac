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
#include "cansettings/view/ChangesDialogs.h"
#include "cansettings/view/ParamTreeView.h"
#include "files/AppFolders.h"
#include "i18n/MessageTable.h"
#include "link/TRV5K.h"
#include "session/Session.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

TCanSettingsFeature::TCanSettingsFeature(TSession& session, TMainWindowUi& ui, QObject* parent)
    : QObject(parent), Session(session), Can(new TCanSettings(session, this)),
      CanPanel(new TCanSettingsPanel(*Can, ui.TabSettings)),
      Selection(new TCarSelection(*Can, session, this)),
      CarControls(new TCarPage(*Selection, ui.TabCar)),
      TemplateControls(new TTemplatesFeature(session, *Can, ui, this)),
      Dialogs(new TChangesDialogs(session, ui.PageControl1->window())) {
    ui.SettingsLayout->addWidget(CanPanel, 1);
    ui.CarLayout->addWidget(CarControls);
    ui.CarLayout->addWidget(CanPanel->CarTreeBox(), 1);
    Can->SetChangesView(Dialogs);
    Can->LanguageChanged();
    connect(ui.SaveButton, &QPushButton::clicked, Can, &TCanSettings::Save);
    ConnectSafety(ui);
    // Whatever the pages showed belongs to a module that is not the one a
    // Save would reach any more.
    connect(&session, &TSession::ShownModuleGone, Can, &TCanSettings::ResetView);
    ConnectLinks(session);
}

void TCanSettingsFeature::ConnectSafety(TMainWindowUi& ui) {
    connect(ui.RevertButton, &QPushButton::clicked, Can, &TCanSettings::RevertChanges);
    connect(Can, &TCanSettings::SaveStateChanged, ui.ChangesLabel,
            [this, &ui](const QString& text) {
                ui.ChangesLabel->setText(text);
                ui.RevertButton->setEnabled(Can->ChangeCount() > 0);
            });
    // Ctrl+F: the search field of the tree in view (the settings tree from
    // any other page).
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), ui.PageControl1->window());
    find->setObjectName(QStringLiteral("SearchShortcut"));
    connect(find, &QShortcut::activated, this, [this, &ui] {
        if (!ui.PageControl1->isVisible())
            return;
        QLineEdit* field = CanPanel->VTSearch();
        if (ui.PageControl1->currentWidget() == ui.TabCar)
            field = CanPanel->VST2Search();
        else
            ui.PageControl1->setCurrentWidget(ui.TabSettings);
        field->setFocus(Qt::ShortcutFocusReason);
        field->selectAll();
    });
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
    CanPanel->SetTexts(messages.WideMess(TCanSettings::SearchHintMessage),
                       messages.WideMess(TCanSettings::RevertRowMessage));
    // The trees' names and the search's words in the new language.
    for (TParamTreeView* tree : {CanPanel->VT(), CanPanel->VST2()})
        tree->SyncRows();
    Can->RefreshChanges();
}
