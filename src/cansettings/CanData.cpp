#include "CanData.h"

#include <algorithm>

namespace {
template <typename List, typename Name>
auto& FindOrAppend(List& list, const QString& name, Name nameOf) {
    for (auto& item : list)
        if (nameOf(item).compare(name, Qt::CaseInsensitive) == 0)
            return item;
    list.emplace_back();
    nameOf(list.last()) = name;
    return list.last();
}
} // namespace

TCanParamData& AddCarEntry(TCanDataArr& database, const QString& make, const QString& model) {
    TCanData& car = FindOrAppend(database, make, [](auto& c) -> QString& { return c.Make; });
    TCanModelData& entry =
        FindOrAppend(car.Models, model, [](auto& m) -> QString& { return m.Model; });
    entry.Years.emplace_back();
    return entry.Years.last();
}

TCanDataArr FilterSupportedCars(const TCanDataArr& database, const TGrPgrList& grPgrList) {
    // The module's list is short and the database long: one sorted copy makes
    // each look-up a binary search.
    TGrPgrList held(grPgrList);
    std::sort(held.begin(), held.end());
    const auto holds = [&held](const TGrPgr& pair) {
        return std::binary_search(held.begin(), held.end(), pair);
    };

    TCanDataArr supported;
    for (const TCanData& car : database) {
        TCanData keptCar{car.Make, {}};
        for (const TCanModelData& model : car.Models) {
            TCanModelData keptModel{model.Model, {}};
            for (const TCanParamData& year : model.Years) {
                TCanParamData keptYear{year.Year, {}, year.Fn57};
                for (const TGrPgr& pair : year.GrPgr)
                    if (holds(pair))
                        keptYear.GrPgr.push_back(pair);
                if (!keptYear.GrPgr.empty())
                    keptModel.Years.append(std::move(keptYear));
            }
            if (!keptModel.Years.isEmpty())
                keptCar.Models.append(std::move(keptModel));
        }
        if (!keptCar.Models.isEmpty())
            supported.append(std::move(keptCar));
    }
    return supported;
}

int CarEntryCount(const TCanDataArr& database) {
    int count = 0;
    for (const TCanData& car : database)
        for (const TCanModelData& model : car.Models)
            count += model.Years.size();
    return count;
}
