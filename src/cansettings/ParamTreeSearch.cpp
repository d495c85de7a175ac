#include "ParamTreeSearch.h"

#include <QRegularExpression>

namespace ParamTreeSearch {
namespace {
struct TSearch {
    QString Text;
    std::optional<quint8> Fn;
    int Language = 0;

    bool Hits(const TParamNode& node) const {
        const TParamNodeData& d = node.Data;
        if (Fn) {
            if (node.Level() == 1 && d.Number == *Fn)
                return true;
            if (node.Level() == 2 && !d.IsValue && (d.AssignedFn1 == *Fn || d.AssignedFn2 == *Fn))
                return true;
        }
        return Language >= 0 && Language < d.Names.size() &&
               d.Names[Language].contains(Text, Qt::CaseInsensitive);
    }
};

// Marks the rows below node; true when any of them hit.
bool Walk(const TParamNode& node, const TSearch& search, bool inherited, std::size_t& i,
          TResult& result) {
    bool any = false;
    for (const auto& child : node.Children) {
        const std::size_t at = i++;
        if (!child->Visible) {
            // Hidden with everything below it.
            std::size_t skipped = 0;
            std::vector<const TParamNode*> stack{child.get()};
            while (!stack.empty()) {
                const TParamNode* n = stack.back();
                stack.pop_back();
                for (const auto& c : n->Children) {
                    ++skipped;
                    stack.push_back(c.get());
                }
            }
            i += skipped;
            continue;
        }
        const bool hit = search.Hits(*child);
        const bool below = Walk(*child, search, inherited || hit, i, result);
        result.Shown[at] = hit || below || inherited;
        result.Opened[at] = below || (hit && child->Level() == 0);
        any = any || hit || below;
    }
    return any;
}
} // namespace

std::optional<quint8> FnOf(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^(?:0x|fn\\s*)?([0-9a-f]{1,2})$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = number.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return quint8(match.captured(1).toUInt(nullptr, 16));
}

TResult Find(const TParamTree& tree, int language, const QString& text) {
    const int count = tree.NodeCount();
    TResult result{std::vector<char>(std::size_t(count), 0),
                   std::vector<char>(std::size_t(count), 0)};
    const TSearch search{text.trimmed(), FnOf(text), language};
    std::size_t i = 0;
    Walk(*tree.Root(), search, false, i, result);
    return result;
}
} // namespace ParamTreeSearch
