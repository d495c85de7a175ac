// The car list, CANDATA_FULL.csv: any bytes decode and parse without harm,
// the counts agree, makes and models are not doubled, and the filter by the
// module's programs keeps only programs the module holds, of cars the list has.

#include "FuzzCheck.h"
#include "cansettings/CanData.h"
#include "cansettings/CarDatabaseFile.h"
#include "cansettings/CarListText.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = TCarListText::Decode(bytes);
    FUZZ_CHECK(!text.contains(QChar(0)), "no NUL character survives the decoding");
    const TCarDatabaseFile::TResult result = TCarDatabaseFile::Parse(text);
    FUZZ_CHECK(CarEntryCount(result.Cars) == result.DataLines,
               "one year entry per data line stored");

    TGrPgrList held; // the module holds every second program the list names
    bool take = true;
    for (int m = 0; m < result.Cars.size(); ++m) {
        const TCanData& make = result.Cars[m];
        for (int other = m + 1; other < result.Cars.size(); ++other)
            FUZZ_CHECK(make.Make.compare(result.Cars[other].Make, Qt::CaseInsensitive) != 0,
                       "one entry per make");
        for (int i = 0; i < make.Models.size(); ++i) {
            for (int other = i + 1; other < make.Models.size(); ++other)
                FUZZ_CHECK(make.Models[i].Model.compare(make.Models[other].Model,
                                                        Qt::CaseInsensitive) != 0,
                           "one entry per model of a make");
            for (const TCanParamData& year : make.Models[i].Years)
                for (const TGrPgr& program : year.GrPgr) {
                    if (take)
                        held.push_back(program);
                    take = !take;
                }
        }
    }

    const TCanDataArr supported = FilterSupportedCars(result.Cars, held);
    FUZZ_CHECK(CarEntryCount(supported) <= CarEntryCount(result.Cars), "the filter adds no car");
    for (const TCanData& make : supported)
        for (const TCanModelData& model : make.Models)
            for (const TCanParamData& year : model.Years) {
                FUZZ_CHECK(!year.GrPgr.empty(), "a supported car has a program");
                for (const TGrPgr& program : year.GrPgr)
                    FUZZ_CHECK(std::find(held.begin(), held.end(), program) != held.end(),
                               "a supported car keeps only programs the module holds");
            }
    return 0;
}
