#include "app/search_panel.h"

#include "app/busy_indicator.h"
#include "search/text_rules.h"
#include "views/text_conversion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <utility>

namespace vellick {

namespace {

QCheckBox* createCheckBox(const QString& caption, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return box;
}

QPushButton* createButton(const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CSearchPanel::CSearchPanel(QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(tr("Search panel"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(createSearchForGroup(), 5);
    layout->addWidget(createSearchInGroup(), 4);
    setTabOrder();
    describeControls();
    watchPanelKeys();
}

// What Help Mode (Shift+F1) tells about each control.
void CSearchPanel::describeControls()
{
    const std::pair<QWidget*, const char*> descriptions[] = {
        { m_keywords, "The text to find. Several words combine as the match mode says." },
        { m_filesButton, "Choose the kinds of files to search." },
        { m_patterns, "File-name patterns such as *.txt;*.log. Empty means every file." },
        { m_folderButton, "Choose the folder to start in." },
        { m_folder, "The folder to start in. Empty means the current folder." },
        { m_matchCase, "Letter case must match." },
        { m_wholeWord, "Keywords must stand alone, not inside longer words." },
        { m_unicode, "Also find the keywords in 16-bit Unicode text." },
        { m_regex, "The keywords are one regular expression, matched line by line." },
        { m_matchMode, "How several words combine: all of them, any of them, or the whole phrase." },
        { m_subFolders, "Also search the folders below the starting folder." },
        { m_listedBelow, "Search only the files in the result list again." },
        { m_start, "Start the search; while it runs, stop it." },
    };
    for (const auto& [control, text] : descriptions)
        control->setWhatsThis(tr(text));
    m_patterns->setToolTip(tr("File-name patterns separated by \";\", such as *.c;*.h. A pattern that starts with "
                              "\"!\" leaves out the files it matches: *.c;!*_test.c"));
    m_folder->setToolTip(tr("The folder to start in; several folders separated by \";\"."));
}

QComboBox* CSearchPanel::createTextCombo(const QString& name)
{
    auto* box = new QComboBox(this);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setDuplicatesEnabled(true);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(12);
    box->setAccessibleName(name);
    box->lineEdit()->setAccessibleName(name);
    // Recent entries are restored exactly as typed, so completion must not change their case.
    box->setCompleter(nullptr);
    return box;
}

QWidget* CSearchPanel::createSearchForGroup()
{
    auto* group = new QGroupBox(tr("Search For:"), this);
    group->setAccessibleName(tr("Search For"));
    m_keywords = createTextCombo(tr("Keywords"));
    m_keywords->lineEdit()->setMaxLength(static_cast<int>(kMaxKeywordText));
    m_matchCase = createCheckBox(tr("match &case"), this);
    m_wholeWord = createCheckBox(tr("match &whole word"), this);
    m_unicode = createCheckBox(tr("&unicode aware"), this);
    m_regex = createCheckBox(tr("regular e&xpression"), this);
    m_matchMode = new QComboBox(this);
    m_matchMode->addItems({ tr("match all words"), tr("match any word"), tr("match whole phrase") });
    m_matchMode->setAccessibleName(tr("Match mode"));
    // It shares its row with "regular expression" and gives way first when the window is narrow, so the
    // panel still fits the default window width.
    m_matchMode->setMinimumWidth(m_matchMode->minimumSizeHint().width() * 3 / 5);
    m_start = createButton(tr("&Start Search"), this);
    m_start->setAccessibleName(tr("Start Search"));
    m_start->setDefault(true);

    // The busy indicator turns beside the match mode while a search runs.
    m_busy = new BusyIndicator(this);
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(m_regex);
    modeRow->addWidget(m_matchMode);
    modeRow->addStretch(1);
    modeRow->addWidget(m_busy);

    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(4);
    grid->addWidget(m_keywords, 0, 0, 1, 3);
    grid->addWidget(m_matchCase, 1, 0);
    grid->addWidget(m_wholeWord, 1, 1);
    grid->addWidget(m_unicode, 1, 2);
    grid->addWidget(m_start, 2, 0);
    grid->addLayout(modeRow, 2, 1, 1, 2);
    return group;
}

QWidget* CSearchPanel::createSearchInGroup()
{
    auto* group = new QGroupBox(tr("Search In:"), this);
    group->setAccessibleName(tr("Search In"));
    m_filesButton = createButton(tr("&File(s)"), this);
    // Its Alt+F is handled by the panel's key filter, so that the File menu keeps Alt+F elsewhere.
    m_filesButton->setShortcut(QKeySequence());
    m_patterns = createTextCombo(tr("File patterns"));
    m_patterns->lineEdit()->setMaxLength(static_cast<int>(kMaxFilePatternText));
    m_folderButton = createButton(tr("F&older"), this);
    m_folder = createTextCombo(tr("Starting folder"));
    m_folder->lineEdit()->setMaxLength(static_cast<int>(kMaxFolderText));
    m_subFolders = createCheckBox(tr("search s&ub-folders"), this);
    m_listedBelow = createCheckBox(tr("search files listed &below"), this);
    m_listedBelow->setEnabled(false);

    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(4);
    grid->addWidget(m_filesButton, 0, 0);
    grid->addWidget(m_patterns, 0, 1, 1, 2);
    grid->addWidget(m_folderButton, 1, 0);
    grid->addWidget(m_folder, 1, 1, 1, 2);
    grid->addWidget(m_subFolders, 2, 0, 1, 2);
    grid->addWidget(m_listedBelow, 2, 2);
    grid->setColumnStretch(2, 1);
    return group;
}

void CSearchPanel::setTabOrder()
{
    const QWidget* order[] = { m_keywords, m_filesButton, m_patterns, m_folderButton, m_folder, m_matchCase,
        m_wholeWord, m_unicode, m_regex, m_matchMode, m_subFolders, m_listedBelow, m_start };
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
}

// "&File(s)" shares its mnemonic with the File menu: inside the panel Alt+F presses the button, elsewhere
// it opens the menu. Enter on any control but a button starts the search, as the panel's default button.
void CSearchPanel::watchPanelKeys()
{
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->focusPolicy() != Qt::NoFocus)
            child->installEventFilter(this);
    }
}

bool CSearchPanel::isFilesMnemonic(QEvent* event) const
{
    const auto* key = static_cast<QKeyEvent*>(event);
    return key->key() == Qt::Key_F && key->modifiers() == Qt::AltModifier;
}

bool CSearchPanel::eventFilter(QObject* watched, QEvent* event)
{
    const bool keyEvent = event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
    if (keyEvent && isFilesMnemonic(event)) {
        event->accept();
        if (event->type() == QEvent::KeyPress && m_filesButton->isEnabled()) {
            m_filesButton->setFocus(Qt::ShortcutFocusReason);
            m_filesButton->animateClick();
        }
        return event->type() == QEvent::KeyPress;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool onButton = qobject_cast<QPushButton*>(watched) != nullptr;
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !onButton) {
            if (m_start->isEnabled())
                m_start->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

PanelInput CSearchPanel::input() const
{
    PanelInput input;
    input.keywordText = keywordBytes();
    input.folder = toPath(m_folder->currentText());
    input.filePatterns = toText(m_patterns->currentText());
    input.listedFilesMode = m_listedBelow->isChecked();
    input.matchCase = m_matchCase->isChecked();
    input.wholeWord = m_wholeWord->isChecked();
    input.unicodeAware = m_unicode->isChecked();
    input.subFolders = m_subFolders->isChecked();
    input.regex = m_regex->isChecked();
    input.matchMode = static_cast<MatchMode>(std::clamp(m_matchMode->currentIndex(), 0, 2));
    return input;
}

std::string CSearchPanel::trimmedKeywordText() const
{
    return trimText(cutText(keywordBytes(), kMaxKeywordText));
}

void CSearchPanel::setKeywordBytes(const std::string& bytes)
{
    m_keywordBytes = bytes;
    m_keywords->setCurrentIndex(-1);
    m_keywords->setEditText(fromTextBytes(bytes));
}

// A text shown as bytes that were chosen from the recent list or handed over is those bytes again. Two
// byte strings may look alike, so the chosen entry comes first.
std::string CSearchPanel::keywordBytes() const
{
    const QString shown = m_keywords->currentText();
    const int chosen = m_keywords->currentIndex();
    if (chosen >= 0 && m_keywords->itemText(chosen) == shown)
        return toTextAsShown(shown, m_keywords->itemData(chosen).toByteArray().toStdString());
    if (shown == fromTextBytes(m_keywordBytes))
        return m_keywordBytes;
    return toText(shown);
}

void CSearchPanel::setCombosReadOnly(bool readOnly)
{
    for (QComboBox* box : { m_keywords, m_patterns, m_folder })
        box->lineEdit()->setReadOnly(readOnly);
}

void CSearchPanel::setRecentList(QComboBox& box, const std::vector<std::string>& entries, bool paths)
{
    const QString text = box.currentText();
    box.clear();
    for (const std::string& entry : entries)
        box.addItem(paths ? fromPath(entry) : fromTextBytes(entry), QByteArray::fromStdString(entry));
    box.setEditText(text);
}

std::vector<std::string> CSearchPanel::recentList(const QComboBox& box, bool paths)
{
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(box.count()));
    for (int i = 0; i < box.count(); ++i) {
        const std::string original = box.itemData(i).toByteArray().toStdString();
        entries.push_back(paths ? toPathAsShown(box.itemText(i), original) : toTextAsShown(box.itemText(i), original));
    }
    return entries;
}

} // namespace vellick
