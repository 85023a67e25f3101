// CMainFrame: what the search run and the views ask of the window.
#include "app/busy_indicator.h"
#include "app/main_frame.h"
#include "app/result_layouts.h"
#include "app/search_controller.h"
#include "app/search_panel.h"
#include "app/status_panes.h"
#include "settings/recent_list.h"
#include "views/message_presenter.h"
#include "views/text_conversion.h"
#include "views/text_view.h"
#include "views/vellick_view.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace vellick {

namespace {
// Puts the text a search used at the top of a combo's recent list.
void updateRecentBox(QComboBox& box, const std::string& text, bool paths)
{
    std::vector<std::string> entries = CSearchPanel::recentList(box, paths);
    const int selected = updateRecentList(entries, text);
    CSearchPanel::setRecentList(box, entries, paths);
    if (selected >= 0)
        box.setCurrentIndex(selected);
}
} // namespace

void CMainFrame::setStatusText(const std::string& text)
{
    m_status->setMessage(fromPath(text));
}

void CMainFrame::setStatusText(const QString& text)
{
    m_status->setMessage(text);
}

void CMainFrame::blankIndicators()
{
    m_lineCount = 0;
    m_hitCount = 0;
    m_status->setCountTexts(QStringLiteral(" "), QStringLiteral(" "));
}

void CMainFrame::setStartButtonLabel(const std::string& label)
{
    QPushButton* start = m_panel->startButton();
    start->setText(fromText(label));
    start->setAccessibleName(fromText(label).remove(QLatin1Char('&')));
}

void CMainFrame::setCombosReadOnly(bool readOnly)
{
    m_panel->setCombosReadOnly(readOnly);
}

void CMainFrame::setBusy(bool busy)
{
    if (busy)
        m_panel->busyIndicator()->start();
    else
        m_panel->busyIndicator()->stop();
}

void CMainFrame::beep()
{
    QApplication::beep();
}

void CMainFrame::resetTextPane()
{
    m_layouts->textPane(false)->ResetTextPane();
    m_layouts->textPane(true)->ResetTextPane();
}

void CMainFrame::invalidateTextPane()
{
    m_layouts->shownTextPane()->viewport()->update();
}

void CMainFrame::selectFirstRowAndFocus()
{
    m_layouts->shownList()->selectFirstRowAndFocus();
}

// Each slice of the run returns to the event loop within milliseconds, which paints; asking is enough.
void CMainFrame::repaintNow()
{
    update();
}

void CMainFrame::showMessage(const std::string& text)
{
    showMessage(fromPath(text));
}

void CMainFrame::showMessage(const QString& text)
{
    // Closing during a search ends the run as stopped; that needs no box.
    if (m_closing)
        return;
    m_presenter->showInformation(this, text);
}

void CMainFrame::updateRecentLists(
    const std::string& keywords, const std::string& folder, const std::string& filePatterns)
{
    updateRecentBox(*m_panel->keywordsBox(), keywords, false);
    updateRecentBox(*m_panel->folderBox(), folder, true);
    updateRecentBox(*m_panel->patternsBox(), filePatterns, false);
}

void CMainFrame::setKeywordText(const std::string& bytes)
{
    m_panel->setKeywordBytes(bytes);
    QComboBox* box = m_panel->keywordsBox();
    box->setFocus(Qt::OtherFocusReason);
    box->lineEdit()->selectAll();
    // The box copies its selection: an empty one leaves the clipboard alone.
    if (!bytes.empty())
        QGuiApplication::clipboard()->setText(box->currentText());
}

void CMainFrame::setTextCounts(int lineCount, int hitCount)
{
    m_lineCount = lineCount;
    m_hitCount = hitCount;
}

bool CMainFrame::searchRunning() const
{
    return m_search->searchRunning();
}

void CMainFrame::openCurrentFile()
{
    m_fileCommands->launch(false);
}

const KeywordList& CMainFrame::lastKeywords() const
{
    return m_search->run().keywords();
}

void CMainFrame::showListContextMenu(const QPoint& globalPos)
{
    m_listMenu->popup(globalPos);
}

} // namespace vellick
