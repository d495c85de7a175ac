#pragma once
// What each cell of a parameter tree shows, which cells may be edited, and
// how an edited text becomes a raw byte again. Shared by both trees.

#include "ParamTree.h"

#include <QColor>
#include <QString>
#include <vector>

namespace ParamTreeRules {
enum Column { NameColumn = 0, Param1Column = 1, Param2Column = 2 };

inline const QColor ChapterBackground{232, 116, 0};
inline const QColor FunctionBackground{255, 242, 230};
inline const QColor LiveBackground{203, 241, 254};
inline const QColor InactiveText{192, 192, 192};
inline const QColor SummaryText{128, 128, 128};

// Shortest general form, up to 15 significant digits, the locale's separator.
QString FloatToText(double value);
// language: the catalogue language shown; functionPrefix: message 87.
QString CellText(const TParamNode& node, int column, int language, const QString& functionPrefix);
// The grey summary after a collapsed function's name; empty for none.
QString Summary(const TParamNode& node, int language);
bool CanEdit(const TParamNode& node, int column);
// The cell of an option that a click on the focused row starts editing.
bool ClickEdits(const TParamNode& node, int column);
// Sets the raw value from the editor's text; returns the nodes that changed
// (the edited one and every option of the tree naming the same FN).
std::vector<TParamNode*> NewText(TParamTree& tree, TParamNode& node, int column,
                                 const QString& text);
// Option rows wrap their name over as many default rows as it needs.
int OptionRowHeight(int nameTextWidth, int nameColumnWidth, int defaultHeight);

// The cell's colours; an invalid colour leaves the tree's default.
QColor Background(const TParamNode& node, int column);
QColor Foreground(const TParamNode& node, int column);

// The spin editor's range for a column: minimum, maximum, increment, value.
struct TEditRange {
    double Minimum = 0, Maximum = 0, Step = 1, Value = 0;
};
TEditRange EditRange(const TParamNode& node, int column);

// Chapters and functions hidden until the module reports them.
void ResetView(TParamTree& tree);
// The live states of the first chapter that starts with a flag; returns the
// rows whose state changed.
std::vector<TParamNode*> ApplyLiveStates(TParamTree& tree, quint32 word);
} // namespace ParamTreeRules
