#include "ParamTreeView.h"

#include "ParamTreeDelegate.h"
#include "cansettings/ParamTreeModel.h"
#include "cansettings/ParamTreeRules.h"

#include <QHeaderView>
#include <QMouseEvent>

TParamTreeView::TParamTreeView(TParamTreeModel* model, bool singleClickEdits, QWidget* parent)
    : QTreeView(parent), Model(model), ItemDelegate(new TParamTreeDelegate(this)),
      SingleClickEdits(singleClickEdits) {
    setModel(model);
    setItemDelegate(ItemDelegate);
    setUniformRowHeights(false);
    setWordWrap(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(true);
    header()->setStretchLastSection(true);
    setColumnWidth(1, Param1Width);
    connect(model, &QAbstractItemModel::modelReset, this, &TParamTreeView::SyncRows);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (TParamNode* node = Model->Node(index))
            node->Expanded = true;
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (TParamNode* node = Model->Node(index))
            node->Expanded = false;
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, viewport(),
            qOverload<>(&QWidget::update));
}

void TParamTreeView::SyncRows() {
    setUpdatesEnabled(false);
    Model->Tree().ForEach([this](TParamNode& node) {
        const QModelIndex index = Model->IndexOf(&node);
        setRowHidden(node.Index(), index.parent(), !node.Visible);
        if (node.ChildCount() > 0 && isExpanded(index) != node.Expanded)
            setExpanded(index, node.Expanded);
    });
    setUpdatesEnabled(true);
}

void TParamTreeView::CommitEdit() {
    ItemDelegate->CommitOpenEditor();
}

void TParamTreeView::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    setColumnWidth(0, qMax(0, viewport()->width() - OtherColumnsWidth));
}

void TParamTreeView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex before = currentIndex();
    QTreeView::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton)
        return;
    const TParamNode* node = Model->Node(index);
    const bool focused = before.isValid() && before.siblingAtColumn(0) == index.siblingAtColumn(0);
    if ((focused || SingleClickEdits) && ParamTreeRules::ClickEdits(*node, index.column()) &&
        ParamTreeRules::CanEdit(*node, index.column()))
        edit(index);
}
