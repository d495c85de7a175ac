#include "CarChoices.h"

namespace CarChoices {

TFlatNameStructArr ProgramChoices(const TCanParamData& year) {
    TFlatNameStructArr list;
    qint32 shown = 1;
    for (const TGrPgr& pair : year.GrPgr)
        list.append({ProgramMessage, shown++, qint32(pair.first) * 256 + pair.second});
    return list;
}

TFlatNameStructArr Fn57Choices(const TCanParamData& year) {
    TFlatNameStructArr list{{Fn57DefaultMessage, -1, DefaultFn57}};
    for (const quint8 value : year.Fn57)
        list.append({Fn57ValueMessage, value, value});
    return list;
}

TFlatNameStructArr CurrentFn57Choices(const std::vector<quint8>& writeProgBytes) {
    TFlatNameStructArr list{{CurrentDefaultMessage, -1, DefaultFn57}};
    for (const quint8 b : writeProgBytes)
        list.append({CurrentValueMessage, qint32(b) + 1, qint32(b) + 1});
    return list;
}

QStringList Labels(const TFlatNameStructArr& list, const std::function<QString(int)>& message) {
    QStringList labels;
    labels.reserve(list.size());
    for (const TFlatNameStruct& entry : list) {
        QString label = message(entry.MessageNumber);
        if (entry.ShownNumber >= 0)
            label += QString::number(entry.ShownNumber);
        labels.append(label);
    }
    return labels;
}

} // namespace CarChoices
