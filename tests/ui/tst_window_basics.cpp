// The window's furniture: the menus with their texts, keys, separators and prompts, the toolbar slots and
// tips, names for assistive technology, the mnemonics, commands still to come, the About box and a close
// while minimised.
#include "app/about_dialog.h"
#include "app/search_panel.h"
#include "support/cline_fields.h"
#include "support/scripted_runner.h"
#include "support/ui_test_support.h"
#include "views/vellick_view.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QUrl>

using namespace vellick;
using namespace vellick::test;

namespace {

// A menu's entries as "text|shortcut", with "-" for a separator.
QStringList entries(const QList<QAction*>& actions)
{
    QStringList list;
    for (const QAction* action : actions) {
        if (action->isSeparator())
            list << QStringLiteral("-");
        else
            list << action->text() + QLatin1Char('|') + action->shortcut().toString();
    }
    return list;
}

QMenu* menuTitled(QMenuBar* bar, const QString& title)
{
    for (QAction* action : bar->actions()) {
        if (action->text() == title)
            return action->menu();
    }
    return nullptr;
}

void addFoundFile(CVellickDoc& doc)
{
    doc.addRecord("/tmp/found.txt", FileKind::Text, FileStatus { 10, 0 });
    doc.record(0).appendHit(testHit(1, 0, 2, 0));
    doc.updateAllViews(DocumentHint::RowsAdded);
}

} // namespace

class WindowBasicsTest : public QObject {
    Q_OBJECT

public slots:
    // Stands in for the desktop's browser.
    void openUrl(const QUrl& url) { m_openedUrls << url; }

private slots:
    void menusHaveTheirItemsKeysAndSeparators();
    void menuItemsHavePrompts();
    void toolBarHasFifteenSlotsWithTips();
    void everyControlHasAnAccessibleName();
    void panelMnemonicsWork();
    void tabOrderFollowsThePanel();
    void helpOpensTheManual();
    void commandsOpenTheirDialogs();
    void aboutBoxShowsTheVersionAndClosesWithEscape();
    void closingWhileMinimisedKeepsTheStoredPlace();
    void hugeStoredPlaceIsFittedToTheScreen();

private:
    QList<QUrl> m_openedUrls;
};

void WindowBasicsTest::menusHaveTheirItemsKeysAndSeparators()
{
    ConfigHome home;
    FrameFixture window;
    QMenuBar* bar = window.frame().menuBar();
    QStringList titles;
    for (QAction* action : bar->actions())
        titles << action->text();
    QCOMPARE(titles, (QStringList { "&File", "&Edit", "&View", "Settings", "&Help" }));
    QCOMPARE(entries(menuTitled(bar, "&File")->actions()),
        (QStringList { "&Open...|Ctrl+O", "Open &With ...|", "Open Containing &Folder|Ctrl+Shift+O",
            "Open at &Line|Ctrl+Return", "-", "&Copy To|", "&Rename|", "&Delete|Shift+Del", "-",
            "&Print Search Result|", "Print Pre&view|", "-", "&Save Search Result To Generate Report|", "-",
            "E&xit|" }));
    QCOMPARE(entries(menuTitled(bar, "&Edit")->actions()),
        (QStringList { "&Copy|Ctrl+C", "&Paste|Ctrl+V", "-", "Check &All|", "&Un Check All|", "-",
            "Copy Pa&th|Ctrl+Shift+C", "Copy &Name|", "Re&move from List|Del" }));
    QCOMPARE(entries(menuTitled(bar, "&View")->actions()),
        (QStringList { "&Toolbar|", "&Status Bar|", "-", "Show Line &Number|", "-", "&Horizontal / Vertical|" }));
    QCOMPARE(entries(menuTitled(bar, "Settings")->actions()), (QStringList { "&Advanced Settings|" }));
    QCOMPARE(entries(menuTitled(bar, "&Help")->actions()),
        (QStringList { "&Index|", "&Using Help|", "-", "&About Vellick...|" }));
    // The second keys of the accelerator table.
    QVERIFY(window.frame().commandAction(CommandId::Copy)->shortcuts().contains(QKeySequence("Ctrl+Ins")));
    QVERIFY(window.frame().commandAction(CommandId::Paste)->shortcuts().contains(QKeySequence("Shift+Ins")));
    QCOMPARE(window.frame().commandAction(CommandId::NextPane)->shortcut(), QKeySequence(Qt::Key_F6));
}

void WindowBasicsTest::menuItemsHavePrompts()
{
    ConfigHome home;
    FrameFixture window;
    for (QAction* menu : window.frame().menuBar()->actions()) {
        for (QAction* item : menu->menu()->actions())
            QVERIFY2(item->isSeparator() || !item->statusTip().isEmpty(), qPrintable(item->text()));
    }
    QCOMPARE(window.frame().commandAction(CommandId::Exit)->statusTip(), QStringLiteral("Quit Vellick"));
    QCOMPARE(window.frame().commandAction(CommandId::Delete)->statusTip(), QStringLiteral("Delete the selected file"));
}

void WindowBasicsTest::toolBarHasFifteenSlotsWithTips()
{
    ConfigHome home;
    FrameFixture window;
    const QList<QToolBar*> bars = window.frame().findChildren<QToolBar*>();
    QCOMPARE(bars.size(), 1);
    const QList<QAction*> toolBarSlots = bars.front()->actions();
    QCOMPARE(toolBarSlots.size(), 15);
    QStringList tips;
    for (const QAction* action : toolBarSlots)
        tips << (action->isSeparator() ? QStringLiteral("-") : action->toolTip());
    QCOMPARE(tips,
        (QStringList { "Open a file", "-", "Save search result to file to generate report", "-", "Copy", "Paste",
            "Check all the resultant files", "Un-check all the resultant files", "-", "Show Line Number",
            "Horizontal / Vertical", "-", "Print search result", "-", "About Vellick" }));
}

void WindowBasicsTest::everyControlHasAnAccessibleName()
{
    ConfigHome home;
    FrameFixture window;
    for (QWidget* widget : window.frame().findChildren<QWidget*>()) {
        const bool control = widget->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(widget)
            || qobject_cast<QMenu*>(widget) || qobject_cast<QToolBar*>(widget);
        if (!control || !widget->isVisibleTo(&window.frame()))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(accessible);
        QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(), widget->metaObject()->className());
    }
}

void WindowBasicsTest::panelMnemonicsWork()
{
    ConfigHome home;
    FrameFixture window;
    QVERIFY(QTest::qWaitForWindowActive(&window.frame()));
    auto runner = std::make_unique<ScriptedRunner>(); // answers the File(s) dialog
    const ScriptedRunner* dialogs = runner.get();
    window.frame().setModalRunner(std::move(runner));
    CSearchPanel& panel = window.panel();
    panel.keywordsBox()->setFocus();
    // A mnemonic presses its button the way a click does, briefly.
    QTest::keyClick(panel.keywordsBox(), Qt::Key_C, Qt::AltModifier);
    QTRY_VERIFY(panel.matchCaseBox()->isChecked());
    QTest::keyClick(panel.matchCaseBox(), Qt::Key_W, Qt::AltModifier);
    QTRY_VERIFY(panel.wholeWordBox()->isChecked());
    // Alt+F belongs to File(s) inside the panel and to the File menu elsewhere.
    panel.keywordsBox()->setFocus();
    QTest::keyClick(panel.keywordsBox(), Qt::Key_F, Qt::AltModifier);
    QTRY_COMPARE(dialogs->titles, QStringList { "Files & File Types" });
    QMenu* fileMenu = window.frame().menuBar()->actions().front()->menu();
    QVERIFY(!fileMenu->isVisible());
    window.list().setFocus();
    QTest::keyClick(&window.list(), Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(fileMenu->isVisible());
    fileMenu->close();
}

void WindowBasicsTest::tabOrderFollowsThePanel()
{
    ConfigHome home;
    FrameFixture window;
    QVERIFY(QTest::qWaitForWindowActive(&window.frame()));
    window.setKeywords(QStringLiteral("a bc"));
    idle();
    window.panel().keywordsBox()->setFocus();
    QStringList order;
    for (int step = 0; step < 11; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->accessibleName();
    }
    // The box for listed files is disabled with no files listed, so Tab passes it over.
    QCOMPARE(order,
        (QStringList { "File(s)", "File patterns", "Folder", "Starting folder", "match case", "match whole word",
            "unicode aware", "regular expression", "Match mode", "search sub-folders", "Start Search" }));
}

void WindowBasicsTest::helpOpensTheManual()
{
    ConfigHome home;
    FrameFixture window;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openUrl");
    window.frame().commandAction(CommandId::HelpIndex)->trigger();
    window.frame().commandAction(CommandId::HelpUsing)->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(m_openedUrls.size(), 2);
    QVERIFY(QFileInfo(m_openedUrls[0].toLocalFile()).isFile());
    QVERIFY(m_openedUrls[0].toLocalFile().endsWith(QStringLiteral("/manual.html")));
    QCOMPARE(m_openedUrls[1].fragment(), QStringLiteral("using-help"));
}

void WindowBasicsTest::commandsOpenTheirDialogs()
{
    ConfigHome home;
    FrameFixture window;
    auto runner = std::make_unique<ScriptedRunner>(); // cancels every dialog
    const ScriptedRunner* dialogs = runner.get();
    window.frame().setModalRunner(std::move(runner));
    addFoundFile(window.doc());
    window.doc().setCurrent(0);
    idle();
    window.frame().commandAction(CommandId::OpenWith)->trigger();
    window.frame().commandAction(CommandId::SaveReport)->trigger();
    window.frame().commandAction(CommandId::AdvancedSettings)->trigger();
    QCOMPARE(dialogs->titles, QStringList({ "Open With ...", "Save search result to file", "Advanced Settings" }));
    QVERIFY(!window.status().contains(QStringLiteral("not available")));
}

void WindowBasicsTest::aboutBoxShowsTheVersionAndClosesWithEscape()
{
    CAboutDlg about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QCOMPARE(about.windowTitle(), QStringLiteral("About Vellick"));
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>())
        texts << label->text();
    QVERIFY(texts.contains(QStringLiteral("Vellick      Version 4.02")));
    QVERIFY(texts.contains(QStringLiteral("(Year 2000 Compliance)")));
    QVERIFY(about.findChild<QPushButton*>()->isDefault());
    QTest::keyClick(&about, Qt::Key_Escape);
    QVERIFY(!about.isVisible());
}

void WindowBasicsTest::closingWhileMinimisedKeepsTheStoredPlace()
{
    ConfigHome home;
    home.write(QStringLiteral("[Settings]\nwleft=5\nwtop=6\nwwidth=740\nwheight=480\nwidth1=200\n"));
    {
        FrameFixture window;
        window.panel().matchCaseBox()->setChecked(true);
        window.frame().showMinimized();
        QTRY_VERIFY(window.frame().isMinimized());
        window.close();
    }
    QCOMPARE(home.value("wleft"), QStringLiteral("5"));
    QCOMPARE(home.value("wwidth"), QStringLiteral("740"));
    QCOMPARE(home.value("width1"), QStringLiteral("200"));
    QCOMPARE(home.value("matchcase"), QStringLiteral("1"));
}

// A hand-edited size of 100000 x 100000 crashed the window while painting (and smaller huge sizes took
// gigabytes); a place off every screen hid it. The window opens on the screen, within it, and saves that.
void WindowBasicsTest::hugeStoredPlaceIsFittedToTheScreen()
{
    ConfigHome home;
    home.write(QStringLiteral("[Settings]\nwleft=900000\nwtop=-900000\nwwidth=100000\nwheight=100000\n"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    {
        FrameFixture window;
        QVERIFY(window.frame().width() <= screen.width());
        QVERIFY(window.frame().height() <= screen.height());
        QVERIFY(screen.intersects(window.frame().geometry()));
        window.close();
    }
    QVERIFY(home.value("wwidth").toInt() <= screen.width());
    QVERIFY(home.value("wheight").toInt() <= screen.height());
    QVERIFY(home.value("wleft").toInt() < screen.right());
    QVERIFY(home.value("wtop").toInt() >= screen.top() - 100);
}

VELLICK_UI_TEST_MAIN(WindowBasicsTest)
#include "tst_window_basics.moc"
