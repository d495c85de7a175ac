#pragma once
// The CAN function settings of the main window: the catalogue with its two
// trees, the function memory map and its read cycle, the map shown in the
// trees, and Save. The window creates it, binds the links' events to it and
// gives it the controls it fills.

#include "Catalogue.h"
#include "FnMemoryMap.h"
#include "MapApplier.h"

#include <QObject>
#include <functional>
#include <optional>

class ICanSettingsView;
class IShell;
class TSession;
class TMapCycle;
class TParamTreeModel;

// Where the car selection plugs in; without one, no car mode is chosen.
class ICarSelection {
public:
    virtual ~ICarSelection() = default;
    // After every read: "Current" when the module knows its car, else "Auto".
    virtual void ModeAfterRead(bool currentCarKnown) = 0;
    virtual void SelectCarProgram(quint8 fn57) = 0;
    virtual void ShowCurrentCar(const QString& text) = 0;
    virtual bool AutoSelected() const = 0;
    // Turns the chosen car into map values before they are written.
    // May send requests on the active link and wait for them.
    virtual void ApplyCarSelection(TFnMemoryMap& map) = 0;
    // A list the car selection needs has been read (ApplyParamsTimer).
    virtual void CarListsRead() = 0;
};

class TCanSettings : public QObject {
    Q_OBJECT
public:
    static constexpr int FunctionPrefixMessage = 87;
    static constexpr int WritingMessage = 47;
    static constexpr int PinQuestionMessage = 60;
    static constexpr int BadPinMessage = 61;
    static constexpr int CarNotSetMessage = 62;
    static constexpr int FirstColumnMessage = 57;

    explicit TCanSettings(TSession& session, QObject* parent = nullptr);
    ~TCanSettings() override;

    void SetView(ICanSettingsView* view) { View = view; }
    ICanSettingsView* SettingsView() const { return View; }
    void SetCarSelection(ICarSelection* selection) { CarSelection = selection; }

    // Loads the catalogue; returns the message to show, if any.
    std::optional<TCatalogueMessage> LoadCatalogue(const QString& path);
    void SelectCatalogueLanguage(const QString& uiLanguageName);
    // Texts of the current language: column titles, prefixes, last events.
    void LanguageChanged();

    void ResetView();
    void ApplyMemoryMap();
    void ApplyLiveStates(quint32 word);
    void CollectTreeValues();
    // Shows the car tree's rows that the car mode bit allows.
    void ShowCarTree(quint8 modeBit);
    void SaveCanSettings(bool defaultsMode);
    // "Save": the base's trace starts afresh, then the settings are written.
    void Save();

    // Asked before anything is written to a module (the automatic backup):
    // false stops the write. Save asks it itself; any other write to a module
    // ("Set default") asks BeforeWrite() first and stops on false.
    void SetWriteGuard(std::function<bool()> guard) { WriteGuard = std::move(guard); }
    bool BeforeWrite();

    // The map as last read from the module the pages show, before any edit:
    // taken when a read has ended well and been applied (never by a loaded
    // template), forgotten when the pages stop showing that module.
    const std::optional<TFnMemoryMap>& ReadBaseline() const { return Baseline; }
    void TakeReadBaseline() { Baseline = FnMemoryMap; }
    void ForgetReadBaseline() { Baseline.reset(); }

    TCatalogue& Catalogue() { return Cat; }
    TFnMemoryMap& Map() { return FnMemoryMap; }
    TMapCycle& Cycle() const { return *MapCycle; }
    TParamTreeModel* SettingsModel() const { return VTModel; }
    TParamTreeModel* CarModel() const { return VST2Model; }
    const TFixedFns& Fixed() const { return FixedFns; }
    bool FlagShown() const { return FixedFns.FlagShown; }
    // A loaded template carried PIN digits.
    bool TemplatePin = false;

signals:
    // The PIN field was filled and enabled, or cleared and disabled.
    void PinShown(bool shown);

private:
    void ShowFixedFns();
    QString Message(int number) const;

    TSession& Session;
    IShell& Shell;
    ICanSettingsView* View = nullptr;
    ICarSelection* CarSelection = nullptr;
    TCatalogue Cat;
    TFnMemoryMap FnMemoryMap;
    TFixedFns FixedFns;
    TMapCycle* MapCycle;
    TParamTreeModel* VTModel;
    TParamTreeModel* VST2Model;
    std::function<bool()> WriteGuard;
    std::optional<TFnMemoryMap> Baseline;
};
