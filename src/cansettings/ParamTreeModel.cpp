#include "ParamTreeModel.h"

#include "ParamTreeRules.h"

#include <QFont>

using namespace ParamTreeRules;

namespace {
constexpr int ColumnCount = 3;
}

TParamTreeModel::TParamTreeModel(TCatalogue& catalogue, TParamTree& tree, QObject* parent)
    : QAbstractItemModel(parent), Catalogue(catalogue), Nodes(tree) {}

int TParamTreeModel::Language() const {
    return Catalogue.CatalogueLanguage;
}

TParamNode* TParamTreeModel::Node(const QModelIndex& index) const {
    return index.isValid() ? static_cast<TParamNode*>(index.internalPointer()) : Nodes.Root();
}

QModelIndex TParamTreeModel::IndexOf(const TParamNode* node, int column) const {
    if (!node || node == Nodes.Root())
        return {};
    return createIndex(node->Index(), column, const_cast<TParamNode*>(node));
}

void TParamTreeModel::SetFunctionPrefix(const QString& prefix) {
    FunctionPrefix = prefix;
    Repaint();
}

void TParamTreeModel::SetColumnTitles(const QStringList& titles) {
    if (titles.size() != ColumnCount)
        return;
    Titles = titles;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void TParamTreeModel::RowsChanged(const std::vector<TParamNode*>& nodes) {
    for (const TParamNode* node : nodes)
        emit dataChanged(IndexOf(node, 0), IndexOf(node, ColumnCount - 1));
}

void TParamTreeModel::Repaint() {
    // Every row of every level: one signal per parent keeps it cheap.
    Nodes.ForEach([this](TParamNode& node) {
        if (node.ChildCount() > 0)
            emit dataChanged(IndexOf(node.Child(0), 0),
                             IndexOf(node.Child(node.ChildCount() - 1), ColumnCount - 1));
    });
    if (Nodes.TopCount() > 0)
        emit dataChanged(index(0, 0), index(Nodes.TopCount() - 1, ColumnCount - 1));
}

void TParamTreeModel::ApplyLiveStates(quint32 word) {
    const auto changed = ParamTreeRules::ApplyLiveStates(Nodes, word);
    for (const TParamNode* node : changed)
        emit dataChanged(IndexOf(node, Param1Column), IndexOf(node, Param1Column));
}

QModelIndex TParamTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const TParamNode* owner = Node(parent);
    if (parent.isValid() && parent.column() != 0)
        return {};
    if (row < 0 || row >= owner->ChildCount() || column < 0 || column >= ColumnCount)
        return {};
    return createIndex(row, column, owner->Child(row));
}

QModelIndex TParamTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid())
        return {};
    return IndexOf(Node(child)->Parent, 0);
}

int TParamTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return Node(parent)->ChildCount();
}

int TParamTreeModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

QVariant TParamTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    TParamNode& node = *Node(index);
    const int column = index.column();
    const int language = Catalogue.CatalogueLanguage;
    switch (role) {
    case Qt::DisplayRole:
        if (column == NameColumn && node.Level() == 1)
            node.MultiLine = true; // asked for its name, a function's caption wraps
        return CellText(node, column, language, FunctionPrefix);
    case Qt::ToolTipRole: {
        const QString hint = Catalogue.Text(node.Data.Hints);
        return hint.isEmpty() ? QVariant() : QVariant(hint);
    }
    case Qt::BackgroundRole: {
        const QColor colour = Background(node, column);
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    case Qt::ForegroundRole: {
        const QColor colour = Foreground(node, column);
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    case Qt::FontRole:
        // Bold as well as marked: a change shows without telling colours apart.
        if (node.Level() == 0 || node.Changed) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::CheckStateRole:
        if (column != NameColumn || node.CheckKind == TCheckKind::None)
            return {};
        return node.Checked ? Qt::Checked : Qt::Unchecked;
    case VisibleRole:
        return node.Visible;
    case CheckKindRole:
        return int(node.CheckKind);
    case SummaryRole:
        return Summary(node, language);
    case LevelRole:
        return node.Level();
    case NameRole:
        return Catalogue.Text(node.Data.Names);
    case MultiLineRole:
        return node.MultiLine;
    case ChangedRole:
        return node.Changed;
    case ChangesHeldRole:
        return node.ChangesHeld > 0 && CountText ? CountText(node.ChangesHeld) : QString();
    case EditRangeRole: {
        const TEditRange range = EditRange(node, column);
        return QVariantList{range.Minimum, range.Maximum, range.Step, range.Value};
    }
    default:
        return {};
    }
}

bool TParamTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid())
        return false;
    TParamNode& node = *Node(index);
    if (role == Qt::CheckStateRole && index.column() == NameColumn) {
        const bool on = value.toInt() == Qt::Checked;
        if (node.Disabled || node.CheckKind == TCheckKind::None)
            return false;
        if (node.CheckKind == TCheckKind::Radio) {
            // A radio button is unchecked only by checking a sibling.
            if (!on || node.Checked)
                return false;
            node.CheckRadio();
            const TParamNode* function = node.Parent;
            emit dataChanged(IndexOf(function->Child(0), 0),
                             IndexOf(function->Child(function->ChildCount() - 1), ColumnCount - 1));
            emit dataChanged(IndexOf(function, 0), IndexOf(function, 0)); // its summary
            emit Edited();
            return true;
        }
        node.Checked = on;
        emit dataChanged(index, index);
        emit Edited();
        return true;
    }
    if (role == Qt::EditRole && CanEdit(node, index.column())) {
        RowsChanged(NewText(Nodes, node, index.column(), value.toString()));
        if (node.Parent)
            emit dataChanged(IndexOf(node.Parent, 0), IndexOf(node.Parent, 0));
        emit Edited();
        return true;
    }
    return false;
}

Qt::ItemFlags TParamTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const TParamNode& node = *Node(index);
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == NameColumn && node.CheckKind != TCheckKind::None && !node.Disabled)
        result |= Qt::ItemIsUserCheckable;
    if (CanEdit(node, index.column()))
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant TParamTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount)
        return {};
    return Titles[section];
}
