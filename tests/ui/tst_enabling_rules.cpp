// The enabling rules: the table itself, and the window following it whenever it goes idle.
#include "app/enabling_rules.h"
#include "app/search_panel.h"
#include "support/ui_test_support.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QPushButton>

using namespace vellick;
using namespace vellick::test;

class EnablingRulesTest : public QObject {
    Q_OBJECT

private slots:
    void keywordTextRules_data();
    void keywordTextRules();
    void listedBelowRules();
    void countPanes();
    void commandRules();
    void windowFollowsTheRulesWhenIdle();
    void pasteFollowsTheClipboard();
};

void EnablingRulesTest::keywordTextRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("start");
    QTest::addColumn<bool>("severalWords");
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("one character") << "a" << false << false;
    QTest::newRow("two characters") << "ab" << true << false;
    QTest::newRow("three with a space") << "a b" << true << false;
    QTest::newRow("four with a space") << "a bc" << true << true;
    QTest::newRow("four letters, no space") << "abcd" << true << false;
}

void EnablingRulesTest::keywordTextRules()
{
    QFETCH(QString, text);
    QFETCH(bool, start);
    QFETCH(bool, severalWords);
    UiFacts facts;
    facts.trimmedKeywordText = text.toStdString();
    const UiState state = evaluateEnablingRules(facts);
    QCOMPARE(state.startEnabled, start);
    QCOMPARE(state.severalWords, severalWords);
    QCOMPARE(state.matchModeEnabled, severalWords);
    // One regular expression: the match mode does not apply.
    facts.regexChecked = true;
    QVERIFY(!evaluateEnablingRules(facts).matchModeEnabled);
}

void EnablingRulesTest::listedBelowRules()
{
    UiFacts facts;
    facts.listedBelowChecked = true;
    UiState state = evaluateEnablingRules(facts);
    // No files listed: the box is off and unchecked, and where to search is open again.
    QVERIFY(!state.listedBelowEnabled);
    QVERIFY(!state.listedBelowChecked);
    QVERIFY(state.searchPlaceEnabled);
    QVERIFY(state.placeButtonsEnabled);

    facts.rowCount = 3;
    state = evaluateEnablingRules(facts);
    QVERIFY(state.listedBelowEnabled);
    QVERIFY(state.listedBelowChecked);
    QVERIFY(!state.searchPlaceEnabled);
    QVERIFY(!state.placeButtonsEnabled);
}

void EnablingRulesTest::countPanes()
{
    UiFacts facts;
    UiState state = evaluateEnablingRules(facts);
    QVERIFY(state.linePane.isEmpty());
    QVERIFY(state.hitPane.isEmpty());
    facts.lineCount = 2;
    facts.hitCount = 3;
    state = evaluateEnablingRules(facts);
    QCOMPARE(state.linePane, QStringLiteral("line: 2"));
    QCOMPARE(state.hitPane, QStringLiteral("key: 3"));
}

void EnablingRulesTest::commandRules()
{
    UiFacts facts;
    UiState state = evaluateEnablingRules(facts);
    QVERIFY(!state.openEnabled);
    QVERIFY(!state.listCommandsEnabled);
    QVERIFY(!state.copyEnabled);
    QVERIFY(!state.pasteEnabled);

    // Files listed, none highlighted: the list in use refuses the one-file commands, the text pane does not.
    facts.rowCount = 2;
    state = evaluateEnablingRules(facts);
    QVERIFY(!state.openEnabled);
    QVERIFY(state.listCommandsEnabled);
    facts.listIsActiveView = false;
    QVERIFY(evaluateEnablingRules(facts).openEnabled);
    facts.listIsActiveView = true;
    facts.hasCurrentRecord = true;
    QVERIFY(evaluateEnablingRules(facts).openEnabled);

    QVERIFY(evaluateEnablingRules(facts).renameDeleteEnabled);
    QVERIFY(evaluateEnablingRules(facts).currentNote.isEmpty());

    facts.textSelected = true;
    facts.clipboardHasText = true;
    state = evaluateEnablingRules(facts);
    QVERIFY(state.copyEnabled);
    QVERIFY(state.pasteEnabled);

    // A member of an archive: opened and copied (extracted), never renamed or deleted, and the status bar
    // says why; one cut at the expansion limit says so too.
    facts.currentMemberName = "a.txt";
    state = evaluateEnablingRules(facts);
    QVERIFY(state.openEnabled);
    QVERIFY(!state.renameDeleteEnabled);
    QCOMPARE(state.currentNote, QStringLiteral("a.txt is inside an archive: it cannot be renamed or deleted."));
    facts.currentCutAtLimit = true;
    QCOMPARE(evaluateEnablingRules(facts).currentNote,
        QStringLiteral("a.txt is inside an archive and was searched only up to the expansion limit: "
                       "it cannot be renamed or deleted."));
    facts.currentMemberName.clear();
    state = evaluateEnablingRules(facts);
    QVERIFY(state.renameDeleteEnabled);
    QCOMPARE(state.currentNote, QStringLiteral("The text was searched only up to the expansion limit."));
}

void EnablingRulesTest::windowFollowsTheRulesWhenIdle()
{
    ConfigHome home;
    FrameFixture window;
    CSearchPanel& panel = window.panel();
    QTest::keyClicks(panel.keywordsBox(), QStringLiteral("a"));
    idle();
    QVERIFY(!panel.startButton()->isEnabled());
    QTest::keyClicks(panel.keywordsBox(), QStringLiteral(" b"));
    idle();
    QVERIFY(panel.startButton()->isEnabled());
    QVERIFY(!panel.matchModeBox()->isEnabled());
    QTest::keyClicks(panel.keywordsBox(), QStringLiteral("c"));
    idle();
    QVERIFY(panel.matchModeBox()->isEnabled());

    // The box for the listed files cannot be checked while no file is listed.
    panel.listedBelowBox()->setEnabled(true);
    panel.listedBelowBox()->setChecked(true);
    idle();
    QVERIFY(!panel.listedBelowBox()->isEnabled());
    QVERIFY(!panel.listedBelowBox()->isChecked());
    QVERIFY(panel.folderBox()->isEnabled());

    QVERIFY(!window.frame().commandAction(CommandId::Open)->isEnabled());
    QVERIFY(!window.frame().commandAction(CommandId::CheckAll)->isEnabled());
    QVERIFY(!window.frame().commandAction(CommandId::Copy)->isEnabled());
    QVERIFY(window.frame().commandAction(CommandId::SwitchLayout)->isEnabled());
    QVERIFY(window.frame().commandAction(CommandId::ShowLineNumber)->isChecked());
}

void EnablingRulesTest::pasteFollowsTheClipboard()
{
    ConfigHome home;
    QGuiApplication::clipboard()->clear();
    FrameFixture window;
    QAction* paste = window.frame().commandAction(CommandId::Paste);
    idle();
    QVERIFY(!paste->isEnabled());
    QGuiApplication::clipboard()->setText(QStringLiteral("  two\twords\n"));
    idle();
    QVERIFY(paste->isEnabled());
    paste->trigger();
    // Trimmed, tabs and line breaks turned into spaces, and the text is selected in the keywords box.
    QCOMPARE(window.panel().keywordsBox()->currentText(), QStringLiteral("two words"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("two words"));
}

VELLICK_UI_TEST_MAIN(EnablingRulesTest)
#include "tst_enabling_rules.moc"
