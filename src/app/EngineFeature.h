#pragma once
// Builds the defaults and engine start feature for the main window and
// connects it: "Set default" on the bottom bar, and the page "Automatic engine
// start settings", shown each time the module reports its block and hidden
// whenever the module it showed goes.

#include <QObject>

class TCanSettings;
class TEngineStartPage;
class TSession;
class TSetDefault;
struct TMainWindowUi;

class TEngineFeature : public QObject {
    Q_OBJECT
public:
    TEngineFeature(TSession& session, TCanSettings& settings, TMainWindowUi& ui,
                   QObject* parent = nullptr);

    void LanguageChanged();

    TSetDefault* SetDefault() const { return Defaults; }
    TEngineStartPage* Page() const { return StartPage; }

private:
    TMainWindowUi& Ui;
    TSetDefault* Defaults;
    TEngineStartPage* StartPage;
};
