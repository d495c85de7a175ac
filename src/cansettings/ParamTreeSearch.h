#pragma once
// Which rows of a parameter tree a search shows: the chapters, functions,
// flags and options whose name in the language shown holds the text, and
// those that a number names ("57", "0x57", "FN57": FN 0x57, as a function, a
// flag or an option's sub-parameter); with a match go its chapter and
// function, and what a matching chapter or function holds. Rows the module
// did not report stay hidden.

#include "ParamTree.h"

#include <QString>
#include <optional>
#include <vector>

namespace ParamTreeSearch {
struct TResult {
    // Per row, in the tree's order (TParamTree::ForEach).
    std::vector<char> Shown;
    // Rows to open so that the matches below them show.
    std::vector<char> Opened;
};

// The FN a search text names, if it is one.
std::optional<quint8> FnOf(const QString& text);
TResult Find(const TParamTree& tree, int language, const QString& text);
} // namespace ParamTreeSearch
