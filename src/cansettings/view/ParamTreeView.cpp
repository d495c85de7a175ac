#include "ParamTreeView.h"

#include "ParamTreeDelegate.h"
#include "cansettings/ParamTreeModel.h"
#include "cansettings/ParamTreeRules.h"
#include "cansettings/ParamTreeSearch.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
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
    connect(model, &QAbstractItemModel::headerDataChanged, this, &TParamTreeView::FitColumns);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        if (TParamNode* node = Model->Node(index); node && !Searching)
            node->Expanded = true;
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        if (TParamNode* node = Model->Node(index); node && !Searching)
            node->Expanded = false;
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, viewport(),
            qOverload<>(&QWidget::update));
}

void TParamTreeView::SyncRows() {
    setUpdatesEnabled(false);
    Searching = !SearchText.trimmed().isEmpty();
    ParamTreeSearch::TResult found;
    if (Searching)
        found = ParamTreeSearch::Find(Model->Tree(), Model->Language(), SearchText);
    std::size_t i = 0;
    Model->Tree().ForEach([&](TParamNode& node) {
        const QModelIndex index = Model->IndexOf(&node);
        const bool shown = Searching ? found.Shown[i] != 0 : node.Visible;
        const bool open = Searching ? found.Opened[i] != 0 : node.Expanded;
        ++i;
        if (isRowHidden(node.Index(), index.parent()) == shown)
            setRowHidden(node.Index(), index.parent(), !shown);
        if (node.ChildCount() > 0 && isExpanded(index) != open)
            setExpanded(index, open);
    });
    setUpdatesEnabled(true);
}

void TParamTreeView::SetSearch(const QString& text) {
    if (text == SearchText)
        return;
    CommitEdit();
    SearchText = text;
    SyncRows();
    Searching = !SearchText.trimmed().isEmpty();
}

void TParamTreeView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(event->pos());
    TParamNode* node = index.isValid() ? Model->Node(index) : nullptr;
    if (!node || (!node->Changed && node->ChangesHeld == 0))
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("RevertMenu"));
    QAction* revert = menu.addAction(RevertText);
    revert->setObjectName(QStringLiteral("RevertRowAction"));
    if (menu.exec(event->globalPos()) == revert)
        emit RevertRequested(node);
}

void TParamTreeView::CommitEdit() {
    ItemDelegate->CommitOpenEditor();
}

void TParamTreeView::FitColumns() {
    const QFontMetrics metrics = header()->fontMetrics();
    const auto titleWidth = [&](int column) {
        return metrics.horizontalAdvance(
                   Model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString()) +
               TitleMargin;
    };
    const int param1 = qMax(Param1Width, titleWidth(1));
    const int param2 = qMax(OtherColumnsWidth - Param1Width, titleWidth(2));
    setColumnWidth(1, param1);
    setColumnWidth(0, qMax(titleWidth(0), viewport()->width() - param1 - param2));
}

void TParamTreeView::resizeEvent(QResizeEvent* event) {
    QTreeView::resizeEvent(event);
    FitColumns();
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

void TParamTreeView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool opens = key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter;
    const QModelIndex current = currentIndex();
    if (opens && current.isValid() && state() != EditingState) {
        const TParamNode* node = Model->Node(current);
        // The focused cell when it can be edited, else the row's first value.
        for (const int column : {current.column(), 1, 2}) {
            if (node && column > 0 && ParamTreeRules::CanEdit(*node, column)) {
                const QModelIndex cell = current.siblingAtColumn(column);
                setCurrentIndex(cell);
                edit(cell);
                return;
            }
        }
    }
    QTreeView::keyPressEvent(event);
}
