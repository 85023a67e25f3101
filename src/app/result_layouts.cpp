#include "app/result_layouts.h"

#include "app/pane_splitter.h"
#include "views/text_view.h"
#include "views/vellick_view.h"

namespace vellick {

ResultLayouts::ResultLayouts(ResultListModel& model, CVellickDoc& doc, ViewHost& host, QWidget* parent)
    : QStackedWidget(parent)
    , m_side(new PaneSplitter(Qt::Horizontal, this))
    , m_stacked(new PaneSplitter(Qt::Vertical, this))
    , m_sideList(new CVellickView(model, host, false, m_side))
    , m_sideText(new CTextView(doc, host, m_side))
    , m_stackedList(new CVellickView(model, host, true, m_stacked))
    , m_stackedText(new CTextView(doc, host, m_stacked))
{
    m_side->setAccessibleName(tr("Side-by-side layout"));
    m_stacked->setAccessibleName(tr("Stacked layout"));
    m_sideText->setAccessibleName(tr("Text pane (side-by-side layout)"));
    m_stackedText->setAccessibleName(tr("Text pane (stacked layout)"));
    for (CVellickView* list : { m_sideList, m_stackedList })
        list->setWhatsThis(tr("The files found. Click a file to see its lines; tick files with the box; click a "
                              "heading to order the files."));
    for (CTextView* pane : { m_sideText, m_stackedText })
        pane->setWhatsThis(tr("The lines around each hit in the selected file, keywords in red. Drag to select "
                              "text; double-click to make it the keywords."));
    for (PaneSplitter* splitter : { m_side, m_stacked }) {
        splitter->setStretchFactor(0, 0);
        splitter->setStretchFactor(1, 1);
        addWidget(splitter);
    }
    setCurrentWidget(m_side);
}

void ResultLayouts::showLayout(bool stacked)
{
    m_stackedShown = stacked;
    setCurrentWidget(stacked ? m_stacked : m_side);
    // The newly shown list catches up with what was done through the other one.
    shownList()->activate(CVellickView::Activation::ShowCurrentRow);
}

void ResultLayouts::setListPaneSizes(int listWidth, int listHeight)
{
    m_side->setFirstPaneSize(listWidth);
    m_stacked->setFirstPaneSize(listHeight);
}

ResultLayouts::PaneSizes ResultLayouts::paneSizes() const
{
    return { m_side->firstPaneSize(), m_side->secondPaneSize(), m_stacked->firstPaneSize(),
        m_stacked->secondPaneSize() };
}

} // namespace vellick
