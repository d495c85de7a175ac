#pragma once
// The car database in memory: makes, their models, and one year entry per
// line of the car list, each with the CAN programs (GR/PGR pairs) that fit the
// car and the FN57 values allowed for it.

#include <QList>
#include <QString>
#include <utility>
#include <vector>

// A CAN program the module firmware holds, as (group, subgroup).
using TGrPgr = std::pair<quint8, quint8>;
using TGrPgrList = std::vector<TGrPgr>;

struct TCanParamData {
    QString Year; // a year or a range, as the list writes it
    TGrPgrList GrPgr;
    QList<quint8> Fn57;
};

struct TCanModelData {
    QString Model;
    QList<TCanParamData> Years;
};

struct TCanData {
    QString Make;
    QList<TCanModelData> Models;
};

using TCanDataArr = QList<TCanData>;

// Finds the make and in it the model, both ignoring letter case, appending
// whichever is missing, then appends an empty year entry to the model and
// returns it. The reference stays valid until the database changes again.
TCanParamData& AddCarEntry(TCanDataArr& database, const QString& make, const QString& model);

// Cars of the database with at least one program the module holds, keeping
// only those programs; the order of the database is kept.
TCanDataArr FilterSupportedCars(const TCanDataArr& database, const TGrPgrList& grPgrList);

// Number of year entries over all makes and models.
int CarEntryCount(const TCanDataArr& database);
