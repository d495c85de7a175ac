#pragma once
// The entries of the car page's program and FN57 lists. Each entry keeps the
// number of the message that labels it rather than the text, so a change of
// language can label the same entries again.

#include "CanData.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <vector>

struct TFlatNameStruct {
    qint32 MessageNumber = 0;
    qint32 ShownNumber = -1; // appended to the label when not negative
    qint32 Value = 0;        // the entry's code
};

using TFlatNameStructArr = QList<TFlatNameStruct>;

namespace CarChoices {
constexpr qint32 ProgramMessage = 86;
constexpr qint32 Fn57DefaultMessage = 88;
constexpr qint32 Fn57ValueMessage = 89;
constexpr qint32 CurrentDefaultMessage = 90;
constexpr qint32 CurrentValueMessage = 91;
// The first entry of both FN57 lists: the module's own choice.
constexpr qint32 DefaultFn57 = 1;

// One entry per program of the year entry, numbered from 1; value GR*256+PGR.
TFlatNameStructArr ProgramChoices(const TCanParamData& year);
// The default entry, then one per FN57 value of the year entry.
TFlatNameStructArr Fn57Choices(const TCanParamData& year);
// The default entry, then one per write-program byte b, numbered and valued b+1.
TFlatNameStructArr CurrentFn57Choices(const std::vector<quint8>& writeProgBytes);

QStringList Labels(const TFlatNameStructArr& list, const std::function<QString(int)>& message);
} // namespace CarChoices
