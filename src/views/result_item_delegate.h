#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

namespace vellick {

// Draws the result list's cells; in the first column a check box (one of two state images: an empty
// box, a ticked box) comes before the file's icon and name.
class ResultItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ResultItemDelegate(QObject* parent = nullptr);

    // Where the check box of a first-column cell lies.
    static QRect checkBoxRect(const QRect& cellRect);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The list toggles check boxes itself (a press on the box, Space); the style's own toggling on a
    // release or a key, whose box lies elsewhere, is left out.
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
        const QModelIndex& index) override;

private:
    QPixmap m_empty;
    QPixmap m_ticked;
};

} // namespace vellick
