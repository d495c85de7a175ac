#pragma once
// The parameter catalogue (Functions.csv): chapters, functions, flags and
// options with their texts in every catalogue language, limits and units.
// Loading builds the settings tree VT and the car tree VST2; nothing here
// knows of widgets, so a caller shows the messages the load reports.

#include "ParamTree.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

struct TCatalogueMessage {
    enum Kind { Plain, Error };
    Kind Box = Plain;
    QString Text;
};

struct TCatalogueLoad {
    bool FileFound = false;
    // The view is reset after a complete load and after a parse error.
    bool ResetView = false;
    std::optional<TCatalogueMessage> Message;
};

class TCatalogue {
public:
    TParamTree VT;   // "Alarm system settings"
    TParamTree VST2; // the car page
    QStringList CatalogueLanguages;
    int CatalogueLanguage = 0;
    std::vector<quint8> AssignedFnSet;

    TCatalogueLoad LoadCatalogue(const QString& path);
    // Parses catalogue text already in memory; path only names it in messages.
    TCatalogueLoad LoadText(const QByteArray& text, const QString& path);
    void SelectCatalogueLanguage(const QString& uiLanguageName);
    bool IsAssignedFn(quint8 fn) const { return Assigned[fn]; }

    // The entry of the shown language, or empty.
    QString Text(const QStringList& list) const;

private:
    void Clear();
    void AddAssigned(quint8 fn);

    std::array<bool, 256> Assigned{};
};
