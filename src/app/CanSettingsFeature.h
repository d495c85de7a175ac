#pragma once
// Builds the CAN settings feature for the main window and connects it: the
// catalogue with its trees and their panel, the car selection with the car
// page, both links' answers to the map cycle, "Save", the language change,
// the pages cleared whenever the module they show goes, and the templates.

#include <QObject>

class QWidget;
class TCanSettings;
class TCanSettingsPanel;
class TCarPage;
class TCarSelection;
class TChangesDialogs;
class TLanguageSwitch;
class TMessageTable;
class TSession;
class TTemplatesFeature;
struct TMainWindowUi;

class TCanSettingsFeature : public QObject {
    Q_OBJECT
public:
    TCanSettingsFeature(TSession& session, TMainWindowUi& ui, QObject* parent = nullptr);

    // Functions.csv from the working folder and the car list from the data
    // folder; errors are shown through the session's shell.
    void LoadFiles();
    // The texts of a new language: tree column titles and catalogue column,
    // list labels.
    void LanguageChanged(const TMessageTable& messages);

    TCanSettings* Settings() const { return Can; }
    TCanSettingsPanel* Panel() const { return CanPanel; }
    TCarSelection* Cars() const { return Selection; }
    TCarPage* CarPage() const { return CarControls; }
    TTemplatesFeature* Templates() const { return TemplateControls; }
    TChangesDialogs* ChangesDialogs() const { return Dialogs; }

private:
    void ConnectLinks(TSession& session);
    void ConnectSafety(TMainWindowUi& ui);

    TSession& Session;
    TCanSettings* Can;
    TCanSettingsPanel* CanPanel;
    TCarSelection* Selection;
    TCarPage* CarControls;
    TTemplatesFeature* TemplateControls;
    TChangesDialogs* Dialogs;
};
