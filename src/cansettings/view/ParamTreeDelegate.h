#pragma once
// Paints and edits the cells of a parameter tree: radio buttons for options,
// wrapped option names, the grey summary after a collapsed function, option
// row heights, and the spin editor with its gauge for sub-parameters.

#include <QPointer>
#include <QStyledItemDelegate>

class QTreeView;
class TSpinGauge;

class TParamTreeDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TParamTreeDelegate(QTreeView* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    // Ends the edit in progress, keeping its value.
    void CommitOpenEditor();

private:
    void PaintChangeMarks(QPainter* painter, const QStyleOptionViewItem& opt,
                          const QModelIndex& index) const;

    QTreeView* View;
    QPointer<TSpinGauge> Open;
};
