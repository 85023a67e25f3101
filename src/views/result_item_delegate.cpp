#include "views/result_item_delegate.h"

#include <QApplication>
#include <QPainter>

namespace vellick {

namespace {
constexpr int kStateImageSize = 16;
} // namespace

ResultItemDelegate::ResultItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_empty(QStringLiteral(":/check_empty.xpm"))
    , m_ticked(QStringLiteral(":/check_ticked.xpm"))
{
}

QRect ResultItemDelegate::checkBoxRect(const QRect& cellRect)
{
    const int top = cellRect.top() + (cellRect.height() - kStateImageSize) / 2;
    return { cellRect.left() + 1, top, kStateImageSize, kStateImageSize };
}

void ResultItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.column() != 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    // The style's own check indicator is replaced by the state image drawn left of the icon.
    item.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, widget);
    const QRect box = checkBoxRect(option.rect);
    item.rect.setLeft(box.right() + 3);
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    painter->drawPixmap(box, checked ? m_ticked : m_empty);
}

QSize ResultItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (index.column() == 0)
        size.rwidth() += kStateImageSize + 3;
    return size.expandedTo({ 0, kStateImageSize + 2 });
}

bool ResultItemDelegate::editorEvent(QEvent*, QAbstractItemModel*, const QStyleOptionViewItem&, const QModelIndex&)
{
    return false;
}

} // namespace vellick
