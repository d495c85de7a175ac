#pragma once
// The view of one parameter tree: three columns ("Name" follows the tree's
// width), hidden rows of the functions the module did not report, and a click
// on the focused option's value cell (any click in the car tree) that starts
// editing it.

#include <QTreeView>

class TParamTreeDelegate;
class TParamTreeModel;
struct TParamNode;

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
    // Row visibility and expansion from the nodes (and the search).
    void SyncRows();
    void CommitEdit();
    // Shows only what the text finds; empty shows the tree as it was,
    // expansion included.
    void SetSearch(const QString& text);
    QString Search() const { return SearchText; }
    // The context menu's "Revert this change".
    void SetRevertText(const QString& text) { RevertText = text; }

    // The value columns as wide as their titles need (at least as designed),
    // the name column the rest.
    void FitColumns();

signals:
    // The installer asked to put this row back as the module holds it.
    void RevertRequested(TParamNode* node);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Enter or F2 opens the editor of the focused option's value.
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    TParamTreeModel* Model;
    TParamTreeDelegate* ItemDelegate;
    bool SingleClickEdits;
    QString SearchText;
    QString RevertText = QStringLiteral("Revert");
    // While a search shows, opening rows is the search's, not the user's.
    bool Searching = false;
};
