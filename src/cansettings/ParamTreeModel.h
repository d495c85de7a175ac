#pragma once
// One parameter tree as an item model for its view: three columns, the cell
// texts, hints, colours, check boxes and radio buttons, and the editable
// sub-parameter cells. The nodes stay in TParamTree; the model only shows
// and edits them.

#include "Catalogue.h"

#include <QAbstractItemModel>
#include <functional>

class TParamTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        VisibleRole = Qt::UserRole + 1, // bool: the row shows
        CheckKindRole,                  // int: TCheckKind
        SummaryRole,                    // QString: grey summary after a collapsed function
        LevelRole,                      // int: 0 chapter, 1 function or flag, 2 option
        NameRole,                       // QString: the option's own name (row height)
        MultiLineRole,                  // bool: the name wraps
        EditRangeRole,                  // QVariantList: minimum, maximum, step, value
        ChangedRole,                    // bool: a Save would change what the row shows
        ChangesHeldRole,                // QString: chapter: how many changes it holds; else empty
    };

    TParamTreeModel(TCatalogue& catalogue, TParamTree& tree, QObject* parent = nullptr);

    TParamTree& Tree() const { return Nodes; }
    // The catalogue language the cells show.
    int Language() const;
    TParamNode* Node(const QModelIndex& index) const;
    QModelIndex IndexOf(const TParamNode* node, int column = 0) const;

    // Message 87, written before every function's number.
    void SetFunctionPrefix(const QString& prefix);
    void SetColumnTitles(const QStringList& titles);
    // Words a count of changes ("3 changes").
    void SetCountText(std::function<QString(int)> text) { CountText = std::move(text); }
    // The nodes changed behind the model's back (a load, the map applied).
    void BeginChange() { beginResetModel(); }
    void EndChange() { endResetModel(); }
    // These rows' values changed; repaint them.
    void RowsChanged(const std::vector<TParamNode*>& nodes);
    void Repaint();
    // Live states of the zone status word.
    void ApplyLiveStates(quint32 word);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // The user changed a value, a choice or a flag.
    void Edited();

private:
    std::function<QString(int)> CountText;
    TCatalogue& Catalogue;
    TParamTree& Nodes;
    QString FunctionPrefix;
    QStringList Titles{QStringLiteral("Name"), QStringLiteral("Parameter 1"),
                       QStringLiteral("Parameter 2")};
};
