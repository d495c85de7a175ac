#pragma once
// Reads the car list, CANDATA_FULL.csv: fields separated by TAB or ";",
// quotes and apostrophes dropped, a header line recognised by its second
// field "NR." naming the columns, then one data line per car and year range.

#include "CanData.h"

#include <QString>

class TCarDatabaseFile {
public:
    struct TResult {
        TCanDataArr Cars;
        int DataLines = 0;     // year entries stored
        int SkippedTokens = 0; // Group/Subgroup or FN57 tokens that were not numbers
    };

    // Loads the list at path into database and returns true when it held at
    // least one car. A missing or unreadable file, or one without a single
    // car, returns false and leaves database as it was, so the tool keeps
    // the last good list.
    static bool LoadCarDatabase(const QString& path, TCanDataArr& database);

    static TResult Parse(const QString& text);
};
