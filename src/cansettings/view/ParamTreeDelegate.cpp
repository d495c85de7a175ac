#include "ParamTreeDelegate.h"

#include "cansettings/ParamTree.h"
#include "cansettings/ParamTreeModel.h"
#include "cansettings/ParamTreeRules.h"
#include "ui/SpinGauge.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QPainter>
#include <QTreeView>

using Model = TParamTreeModel;

TParamTreeDelegate::TParamTreeDelegate(QTreeView* view) : QStyledItemDelegate(view), View(view) {}

namespace {
// The change mark: a bar down the row's left edge with a notch, so that it
// tells without colour (the value is bold as well).
const QColor ChangeMarkColour(0, 84, 166);
constexpr int ChangeMarkWidth = 4;
} // namespace

void TParamTreeDelegate::PaintChangeMarks(QPainter* painter, const QStyleOptionViewItem& opt,
                                          const QModelIndex& index) const {
    const QRect row = opt.rect;
    if (index.data(Model::ChangedRole).toBool()) {
        // In the gutter at the tree's left edge, clear of the indentation
        // and the row's text.
        const int left = 1;
        painter->save();
        painter->setClipping(false);
        painter->setPen(Qt::NoPen);
        painter->setBrush(ChangeMarkColour);
        painter->drawRect(QRect(left, row.top() + 1, ChangeMarkWidth, row.height() - 2));
        const int middle = row.top() + row.height() / 2;
        const QPoint notch[3] = {QPoint(left + ChangeMarkWidth, middle - 4),
                                 QPoint(left + ChangeMarkWidth + 4, middle),
                                 QPoint(left + ChangeMarkWidth, middle + 4)};
        painter->drawPolygon(notch, 3);
        painter->restore();
    }
    // A chapter says how many changes it holds, after its name.
    const QString held = index.data(Model::ChangesHeldRole).toString();
    if (held.isEmpty())
        return;
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    text.setLeft(text.left() + opt.fontMetrics.horizontalAdvance(opt.text + QStringLiteral("   ")));
    if (text.width() <= 0)
        return;
    painter->save();
    painter->setPen(Qt::white);
    QFont bold = opt.font;
    bold.setBold(true);
    painter->setFont(bold);
    const QString shown = QStringLiteral("\u25B6 ") + held;
    painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                      QFontMetrics(bold).elidedText(shown, Qt::ElideRight, text.width()));
    painter->restore();
}

void TParamTreeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const bool radio =
        index.column() == 0 && index.data(Model::CheckKindRole).toInt() == int(TCheckKind::Radio);
    if (index.data(Model::MultiLineRole).toBool())
        opt.features |= QStyleOptionViewItem::WrapText;
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    if (radio) {
        // The check box the style would draw becomes a radio button.
        const bool checked = opt.checkState == Qt::Checked;
        opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, opt.widget);
        const int indicator = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth);
        opt.rect.setLeft(opt.rect.left() + indicator + 4);
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        QStyleOptionButton button;
        button.rect =
            QRect(option.rect.left() + 1,
                  option.rect.top() + (option.rect.height() - indicator) / 2, indicator, indicator);
        if (box.isValid())
            button.rect.moveLeft(box.left());
        button.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
        style->drawPrimitive(QStyle::PE_IndicatorRadioButton, &button, painter, opt.widget);
    } else {
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    }
    if (index.column() == 0)
        PaintChangeMarks(painter, opt, index);
    // A collapsed function shows its choice after its name, grey and italic.
    if (index.column() != 0 || index.data(Model::LevelRole).toInt() != 1)
        return;
    const QModelIndex first = index.siblingAtColumn(0);
    if (View->isExpanded(first))
        return;
    const QString summary = index.data(Model::SummaryRole).toString();
    if (summary.isEmpty())
        return;
    QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    const int offset = opt.fontMetrics.horizontalAdvance(opt.text + QStringLiteral("    "));
    text.setLeft(text.left() + offset);
    if (text.width() <= 0)
        return;
    QFont italic = opt.font;
    italic.setItalic(true);
    painter->save();
    painter->setFont(italic);
    painter->setPen(ParamTreeRules::SummaryText);
    const QString elided = QFontMetrics(italic).elidedText(summary, Qt::ElideRight, text.width());
    painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, elided);
    painter->restore();
}

QSize TParamTreeDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    const int defaultHeight = option.fontMetrics.height() + 4;
    size.setHeight(qMax(size.height(), defaultHeight));
    if (index.data(Model::LevelRole).toInt() != 2)
        return size;
    const int width = option.fontMetrics.horizontalAdvance(index.data(Model::NameRole).toString());
    size.setHeight(ParamTreeRules::OptionRowHeight(width, View->columnWidth(0), defaultHeight));
    return size;
}

QWidget* TParamTreeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    if (index.data(Model::LevelRole).toInt() != 2 || index.column() == 0)
        return nullptr;
    auto* editor = new TSpinGauge(parent);
    const_cast<TParamTreeDelegate*>(this)->Open = editor;
    const QVariantList range = index.data(Model::EditRangeRole).toList();
    editor->SetRange(range[0].toDouble(), range[1].toDouble(), range[2].toDouble());
    auto* self = const_cast<TParamTreeDelegate*>(this);
    // An editor ended here is no longer open for CommitOpenEditor.
    connect(editor, &TSpinGauge::Finished, self, [self, editor] {
        self->Open = nullptr;
        emit self->commitData(editor);
        emit self->closeEditor(editor, QAbstractItemDelegate::NoHint);
    });
    connect(editor, &TSpinGauge::Cancelled, self, [self, editor] {
        self->Open = nullptr;
        emit self->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
        self->View->viewport()->update();
    });
    return editor;
}

void TParamTreeDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QVariantList range = index.data(Model::EditRangeRole).toList();
    static_cast<TSpinGauge*>(editor)->SetValue(range[3].toDouble());
}

void TParamTreeDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                      const QModelIndex& index) const {
    auto* gauge = static_cast<TSpinGauge*>(editor);
    QDoubleSpinBox* spin = gauge->SpinBox();
    // An empty editor means its minimum; the spin box keeps the value in range.
    const double value = gauge->Text().isEmpty() ? spin->minimum() : spin->value();
    model->setData(index, ParamTreeRules::FloatToText(value), Qt::EditRole);
}

void TParamTreeDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex&) const {
    QRect rect = option.rect;
    rect.setHeight(qMax(option.fontMetrics.height() + 8, 22));
    editor->setGeometry(rect);
}

void TParamTreeDelegate::CommitOpenEditor() {
    if (!Open)
        return;
    TSpinGauge* editor = Open;
    Open = nullptr;
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}
