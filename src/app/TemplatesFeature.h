#pragma once
// Builds the templates feature of the main window and connects it: the
// Templates tab's buttons before "Read MQR-CAN settings on connect", the
// template save and load, the automatic backups, and the backup that every
// Save makes first.

#include <QObject>
#include <memory>

class TBackups;
class TCanSettings;
class TSession;
class TTemplates;
class TTemplatesPage;
struct TMainWindowUi;

class TTemplatesFeature : public QObject {
    Q_OBJECT
public:
    TTemplatesFeature(TSession& session, TCanSettings& settings, TMainWindowUi& ui,
                      QObject* parent = nullptr);
    ~TTemplatesFeature() override;

    TTemplates* Templates() const { return Operations; }
    TTemplatesPage* Page() const { return Controls; }
    TBackups& Backups() const { return *Store; }

private:
    std::unique_ptr<TBackups> Store;
    TTemplates* Operations;
    TTemplatesPage* Controls;
};
