#pragma once

#include <QTableView>
#include <array>

namespace vellick {

class ResultListModel;
class ViewHost;

// One result list: the found files in six columns, each row with a check box and the file's icon. Each
// layout of the main window has its own list on the one shared model; check marks live in the records,
// selection and column widths belong to each list. Selecting a row makes its record the current one.
class CVellickView : public QTableView {
    Q_OBJECT
public:
    static constexpr int kColumnCount = 6;
    using Widths = std::array<int, kColumnCount>;

    CVellickView(ResultListModel& model, ViewHost& host, bool stackedLayout, QWidget* parent = nullptr);

    bool stackedLayout() const { return m_stackedLayout; }
    ResultListModel& resultModel() const { return m_model; }

    void setColumnWidths(const Widths& widths);
    Widths columnWidths() const;
    // The width of a character of the names, sizes and times the list shows, for the first-start column
    // widths. A font's declared average can be well below it, so ordinary text is measured too.
    int typicalCharWidth() const;

    // Rename: in-place editing of the current record's file name begins (the model reports its end).
    void beginRename();

    void checkAll();
    void uncheckAll();
    // Selects the first row and gives the list the keyboard focus (end of a search).
    void selectFirstRowAndFocus();
    // Brings the selection up to the document: the row of the current record is selected. When the list is
    // shown anew, that row also becomes the keyboard's row and is scrolled into view.
    enum class Activation { KeepPlace, ShowCurrentRow };
    void activate(Activation activation = Activation::KeepPlace);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onSelectionChanged();
    void onHeadingClicked(int column);
    void selectRowQuietly(int row);
    // The row whose check box lies under a point of the viewport, or -1.
    int checkBoxRowAt(const QPoint& pos) const;

    ResultListModel& m_model;
    ViewHost& m_host;
    bool m_stackedLayout;
    bool m_boxPressed = false; // the press toggled a check box: its release is not a click on the name
};

} // namespace vellick
