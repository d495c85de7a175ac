#pragma once
// The view of one parameter tree: three columns ("Name" follows the tree's
// width), hidden rows of the functions the module did not report, and a click
// on the focused option's value cell (any click in the car tree) that starts
// editing it.

#include <QTreeView>

class TParamTreeDelegate;
class TParamTreeModel;

class TParamTreeView : public QTreeView {
    Q_OBJECT
public:
    static constexpr int OtherColumnsWidth = 150;
    static constexpr int Param1Width = 70;
    // Room beside a column title's text (the header's margins and sort mark).
    static constexpr int TitleMargin = 16;

    TParamTreeView(TParamTreeModel* model, bool singleClickEdits, QWidget* parent = nullptr);

    TParamTreeModel* TreeModel() const { return Model; }
    TParamTreeDelegate* Delegate() const { return ItemDelegate; }
    // Row visibility and expansion from the nodes.
    void SyncRows();
    void CommitEdit();

    // The value columns as wide as their titles need (at least as designed),
    // the name column the rest.
    void FitColumns();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Enter or F2 opens the editor of the focused option's value.
    void keyPressEvent(QKeyEvent* event) override;

private:
    TParamTreeModel* Model;
    TParamTreeDelegate* ItemDelegate;
    bool SingleClickEdits;
};
