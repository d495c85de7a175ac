#pragma once
// The CAN function settings of the main window: the catalogue with its two
// trees, the function memory map and its read cycle, the map shown in the
// trees, and Save. The window creates it, binds the links' events to it and
// gives it the controls it fills.

#include "Catalogue.h"
#include "FnMemoryMap.h"
#include "MapApplier.h"
#include "SettingsChanges.h"

#include <QObject>
#include <functional>
#include <optional>

class ICanSettingsView;
class IShell;
class TSession;
class TMapCycle;
class TParamTreeModel;

// What the car choice makes a Save do: reset the car ("Auto"), send a car
// program ("Manual") and the FN57 value it puts in the map.
struct TCarPlan {
    bool Reset = false;
    bool SendsProgram = false;
    quint8 Group = 0, Subgroup = 0; // the program sent
    std::optional<quint8> Fn57;
    QString Description; // the car chosen, as the review names it
};

// The review before a Save and the list after it, shown by the window.
class IChangesView {
public:
    virtual ~IChangesView() = default;
    // The changes a Save would make; true to write them. dontAskAgain: the
    // installer wants no review from now on.
    virtual bool ConfirmChanges(const std::vector<TChange>& changes, bool* dontAskAgain) = 0;
    // What the module does not hold as it was written.
    virtual void ShowMismatches(const std::vector<TMismatch>& mismatches) = 0;
};

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
    // What ApplyCarSelection would do, without sending or waiting.
    virtual TCarPlan PlanCarSelection() const = 0;
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
    static constexpr int CancelMessage = 40;
    static constexpr int OneChangeMessage = 109;
    static constexpr int ChangesMessage = 110; // %1 the count
    static constexpr int ReviewTitleMessage = 111;
    static constexpr int ReviewChapterMessage = 112;
    static constexpr int ReviewSettingMessage = 113;
    static constexpr int ReviewOldMessage = 114;
    static constexpr int ReviewNewMessage = 115;
    static constexpr int ReviewSaveMessage = 116;
    static constexpr int DoNotAskMessage = 117;
    static constexpr int PinNameMessage = 118;
    static constexpr int CarNameMessage = 119;
    static constexpr int CarAutoMessage = 120;
    static constexpr int OnMessage = 121;
    static constexpr int OffMessage = 122;
    static constexpr int NotInModuleMessage = 123;
    static constexpr int VerifiedMessage = 124; // %1 the count
    static constexpr int MismatchTitleMessage = 125;
    static constexpr int WrittenMessage = 126;
    static constexpr int HeldMessage = 127;
    static constexpr int CloseQuestionMessage = 128;    // %1 the count
    static constexpr int TemplateQuestionMessage = 129; // %1 the count
    static constexpr int DroppedMessage = 130;
    static constexpr int SearchHintMessage = 131;
    static constexpr int RevertRowMessage = 132;
    static constexpr int MismatchHintMessage = 133;
    // Settings.ini: "0" when the installer asked for no review before Save.
    static constexpr const char* ReviewKey = "ReviewChanges";

    explicit TCanSettings(TSession& session, QObject* parent = nullptr);
    ~TCanSettings() override;

    void SetView(ICanSettingsView* view) { View = view; }
    void SetChangesView(IChangesView* view) { ChangesView = view; }
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
    void TakeReadBaseline();
    void ForgetReadBaseline();

    // The changes a Save would make against the baseline (none without one),
    // marked in the trees and counted; after every edit, PIN or car choice.
    void RefreshChanges();
    // Every change, the catalogue's fixed rows included (the review lists
    // them); ChangeCount() only the installer's.
    const std::vector<TChange>& Changes() const { return Pending; }
    int ChangeCount() const;
    // The changes worded in the language shown.
    std::vector<TChange> DescribedChanges() const;
    // The bottom bar's words: how many changes, or the last Save verified.
    QString SaveStateText() const;
    // Back to the baseline, one row (with what it holds) or all, and the
    // PIN and car choice with all; nothing is sent.
    void RevertRow(TParamTreeModel* model, TParamNode* node);
    void RevertChanges();
    // Asked before something drops the changes (closing, a template load):
    // true to go on. questionMessage holds %1 for the count.
    bool MayDropChanges(int questionMessage);

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
    // SaveStateText() changed.
    void SaveStateChanged(const QString& text);

private:
    // What a Save writes and that the read after it must give back.
    struct TWritten {
        TFnValues Values;
        std::vector<quint8> Order; // the pairs, first write first
        std::optional<std::array<quint8, 4>> Pin;
        std::optional<std::pair<quint8, quint8>> Car;
        void Pair(quint8 fn, quint8 nn);
        int Count() const { return int(Order.size()) + (Pin ? 1 : 0) + (Car ? 1 : 0); }
    };

    void ShowFixedFns(bool withPin = true);
    QString Message(int number) const;
    TChangeTexts Texts() const;
    bool ReviewBeforeSave();
    void ReadSucceeded();
    void ShownModuleGone();
    void VerifySave(const TWritten& written);
    QString PinOf(const TFnMemoryMap& map) const;
    void Repaint(const std::vector<TParamNode*>& nodes);
    void SetSaveState(const QString& verified);

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
    TFnValues BaselineValues;
    IChangesView* ChangesView = nullptr;
    std::vector<TChange> Pending;
    std::optional<TWritten> Unverified;
    QString Verified;
    QString ShownState;
};
