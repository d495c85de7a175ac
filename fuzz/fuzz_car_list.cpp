// The car list, CANDATA_FULL.csv: any bytes decode and parse without harm,
// the counts agree, makes and models are not doubled, and the filter by the
// module's programs keeps only programs the module holds, of cars the list has.

#include "FuzzCheck.h"
#include "cansettings/CanData.h"
#include "cansettings/CarDatabaseFile.h"
#include "cansettings/CarListText.h"

#include <QHash>
#include <set>

namespace {
// Names seen so far, by their case-folded form; a name counts as seen again
// only when it also compares equal the way the list itself compares names.
class TSeenNames {
public:
    bool Add(const QString& name) {
        const QString key = name.toCaseFolded();
        const auto found = Names.constFind(key);
        if (found != Names.constEnd() && found->compare(name, Qt::CaseInsensitive) == 0)
            return false;
        Names.insert(key, name);
        return true;
    }

private:
    QHash<QString, QString> Names;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = TCarListText::Decode(bytes);
    FUZZ_CHECK(!text.contains(QChar(0)), "no NUL character survives the decoding");
    const TCarDatabaseFile::TResult result = TCarDatabaseFile::Parse(text);
    FUZZ_CHECK(CarEntryCount(result.Cars) == result.DataLines,
               "one year entry per data line stored");

    TGrPgrList held; // the module holds every second program the list names
    bool take = true;
    TSeenNames makes;
    for (const TCanData& make : result.Cars) {
        FUZZ_CHECK(makes.Add(make.Make), "one entry per make");
        TSeenNames models;
        for (const TCanModelData& model : make.Models) {
            FUZZ_CHECK(models.Add(model.Model), "one entry per model of a make");
            for (const TCanParamData& year : model.Years)
                for (const TGrPgr& program : year.GrPgr) {
                    if (take)
                        held.push_back(program);
                    take = !take;
                }
        }
    }

    const std::set<TGrPgr> heldSet(held.begin(), held.end());
    const TCanDataArr supported = FilterSupportedCars(result.Cars, held);
    FUZZ_CHECK(CarEntryCount(supported) <= CarEntryCount(result.Cars), "the filter adds no car");
    for (const TCanData& make : supported)
        for (const TCanModelData& model : make.Models)
            for (const TCanParamData& year : model.Years) {
                FUZZ_CHECK(!year.GrPgr.empty(), "a supported car has a program");
                for (const TGrPgr& program : year.GrPgr)
                    FUZZ_CHECK(heldSet.count(program) == 1,
                               "a supported car keeps only programs the module holds");
            }
    return 0;
}
