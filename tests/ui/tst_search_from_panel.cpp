// Searching from the panel as the user does: Start's checks and their messages, a whole search with its
// rows, texts and recent lists, Stop, the listed-files mode and a close in the middle of a search.
#include "app/busy_indicator.h"
#include "app/search_controller.h"
#include "app/search_panel.h"
#include "support/scripted_runner.h"
#include "support/temp_tree.h"
#include "support/ui_test_support.h"
#include "views/message_presenter.h"
#include "views/result_list_model.h"
#include "views/vellick_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <ctime>

using namespace vellick;
using namespace vellick::test;

namespace {
QString fileNameAt(CVellickView& list, int row)
{
    return list.model()->index(row, 0).data().toString();
}

// A message box the user leaves open until the clock has passed two whole seconds.
class LingeringPresenter : public MessagePresenter {
public:
    void showInformation(QWidget*, const QString&) override
    {
        const std::time_t shown = std::time(nullptr);
        while (std::time(nullptr) < shown + 2)
            QTest::qWait(50);
    }
};
} // namespace

class SearchFromPanelTest : public QObject {
    Q_OBJECT

private slots:
    void startChecksShowTheirMessages_data();
    void startChecksShowTheirMessages();
    void emptyFilePatternsBecomeStarDotStar();
    void wholeSearchListsTheFoundFiles();
    void recentListsMoveUsedTextsToTheTop();
    void stopEndsTheRunBetweenFiles();
    void timeSpentEndsWithTheRunNotWithTheStopMessage();
    void listedFilesModeRechecksOnlyTheRows();
    void closeDuringASearchKeepsItsTexts();
    void summaryNamesAnActiveScope();
    void severalFoldersAndExclusionsGiveTheirRows();
};

void SearchFromPanelTest::startChecksShowTheirMessages_data()
{
    QTest::addColumn<QString>("keywords");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("matchMode");
    QTest::addColumn<QString>("message");
    const QString wordMessage
        = QStringLiteral("Any keyword cannot contain '?' only.\nIt cannot have only one charecter neither.");
    QTest::newRow("missing folder comes first") << "a b"
                                                << "/no/such/folder" << 0 << "Directory \"/no/such/folder\" not found";
    QTest::newRow("one-letter word") << "x mutex"
                                     << "" << 0 << wordMessage;
    QTest::newRow("three characters are one keyword") << "a b"
                                                      << "" << 1 << wordMessage;
    QTest::newRow("question marks only") << "??"
                                         << "" << 0 << wordMessage;
}

void SearchFromPanelTest::startChecksShowTheirMessages()
{
    QFETCH(QString, keywords);
    QFETCH(QString, folder);
    QFETCH(int, matchMode);
    QFETCH(QString, message);
    ConfigHome home;
    TempTree tree;
    tree.write("a.txt", "x mutex ab ??\n");
    FrameFixture window;
    window.setKeywords(keywords);
    window.setFolder(folder.isEmpty() ? qs(tree.root()) : folder);
    window.panel().matchModeBox()->setCurrentIndex(matchMode);
    QVERIFY(window.search());
    QCOMPARE(window.messages, QStringList { message });
    QCOMPARE(window.doc().rowCount(), 0);
    QCOMPARE(window.panel().keywordsBox()->count(), 0); // nothing ran, so no recent entry
}

void SearchFromPanelTest::emptyFilePatternsBecomeStarDotStar()
{
    ConfigHome home;
    TempTree tree;
    tree.write("notes.md", "remember the mutex\n");
    FrameFixture window;
    window.setKeywords(QStringLiteral("mutex"));
    window.setFolder(qs(tree.root()));
    window.panel().patternsBox()->setEditText(QStringLiteral("   "));
    QVERIFY(window.search());
    QCOMPARE(window.panel().patternsBox()->currentText(), QStringLiteral("*.*"));
    QCOMPARE(window.doc().rowCount(), 1);
}

void SearchFromPanelTest::wholeSearchListsTheFoundFiles()
{
    ConfigHome home;
    TempTree tree;
    tree.write("a.txt", "the mutex lock\n");
    tree.write("b.log", "no match here\n");
    tree.write("sub/c.txt", "lock then MUTEX\n");
    tree.write("sub/d.cpp", "mutex lock\n");
    FrameFixture window;
    window.setKeywords(QStringLiteral("  mutex lock "));
    window.setFolder(qs(tree.root()));
    window.panel().patternsBox()->setEditText(QStringLiteral("*.txt"));
    window.panel().subFoldersBox()->setChecked(true);
    QVERIFY(window.search());

    QVERIFY(window.messages.isEmpty());
    CVellickView& list = window.list();
    QCOMPARE(list.model()->rowCount(), 2);
    QCOMPARE(fileNameAt(list, 0), QStringLiteral("a.txt"));
    QCOMPARE(fileNameAt(list, 1), QStringLiteral("c.txt"));
    QCOMPARE(list.model()->index(1, 1).data().toString(), qs(tree.path("sub")));
    QVERIFY(QRegularExpression(QStringLiteral("^2 files found \\(2 files checked\\)\\.time spent: 00:00:0\\d$"))
                .match(window.status())
                .hasMatch());
    QCOMPARE(window.panel().startButton()->text(), QStringLiteral("&Start Search"));
    QVERIFY(!window.panel().keywordsBox()->lineEdit()->isReadOnly());
    // The first row is highlighted and its file is the current one; the text pane shows its lines.
    QCOMPARE(list.selectionModel()->selectedRows().value(0).row(), 0);
    QCOMPARE(window.doc().current(), window.doc().recordAtRow(0));
    QTRY_COMPARE(window.frame().statusPanes().hitText(), QStringLiteral("key: 2"));
    QCOMPARE(window.frame().statusPanes().lineText(), QStringLiteral("line: 1"));
    // With files listed, the listed-files mode is offered.
    QVERIFY(window.panel().listedBelowBox()->isEnabled());
}

void SearchFromPanelTest::recentListsMoveUsedTextsToTheTop()
{
    ConfigHome home;
    TempTree tree;
    tree.write("a.txt", "x y\n");
    FrameFixture window;
    window.setFolder(qs(tree.root()));
    for (const char* keywords : { "xx", "yy", "XX" }) {
        window.setKeywords(QString::fromLatin1(keywords));
        QVERIFY(window.search());
    }
    QComboBox* box = window.panel().keywordsBox();
    QCOMPARE(box->count(), 2);
    QCOMPARE(box->itemText(0), QStringLiteral("XX"));
    QCOMPARE(box->itemText(1), QStringLiteral("yy"));
    QCOMPARE(window.panel().folderBox()->count(), 1);
    QCOMPARE(window.panel().folderBox()->itemText(0), qs(tree.root()));
    QCOMPARE(window.panel().patternsBox()->itemText(0), QStringLiteral("*.*"));
}

void SearchFromPanelTest::stopEndsTheRunBetweenFiles()
{
    ConfigHome home;
    TempTree tree;
    for (int i = 0; i < 50; ++i)
        tree.write("f" + std::to_string(i) + ".txt", "mutex\n");
    FrameFixture window;
    window.setKeywords(QStringLiteral("mutex"));
    window.setFolder(qs(tree.root()));
    idle();
    QPushButton* start = window.panel().startButton();
    // Stop pressed before the run had its first turn: no file is scanned.
    QTest::mouseClick(start, Qt::LeftButton);
    QCOMPARE(start->text(), QStringLiteral("&Stop"));
    QVERIFY(window.panel().keywordsBox()->lineEdit()->isReadOnly());
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(window.waitForSearchEnd());
    QCOMPARE(window.messages, QStringList { QStringLiteral("Search stopped before completion.") });
    QVERIFY(window.status().startsWith(QStringLiteral("No file found (0 file checked).time spent: ")));
    QCOMPARE(start->text(), QStringLiteral("&Start Search"));
    QCOMPARE(window.panel().keywordsBox()->itemText(0), QStringLiteral("mutex"));
}

void SearchFromPanelTest::timeSpentEndsWithTheRunNotWithTheStopMessage()
{
    ConfigHome home;
    TempTree tree;
    tree.write("a.txt", "mutex\n");
    FrameFixture window;
    window.frame().setMessagePresenter(std::make_unique<LingeringPresenter>());
    window.setKeywords(QStringLiteral("mutex"));
    window.setFolder(qs(tree.root()));
    idle();
    QPushButton* start = window.panel().startButton();
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(window.panel().busyIndicator()->isRunning());
    QCOMPARE(window.status(), QStringLiteral("Searching ..."));
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(window.waitForSearchEnd());
    QVERIFY(!window.panel().busyIndicator()->isRunning());
    // Start and Stop came within one second; the two seconds of the open message box do not count.
    QVERIFY2(window.status().contains(QRegularExpression(QStringLiteral("time spent: 00:00:0[01]$"))),
        qPrintable(window.status()));
}

void SearchFromPanelTest::listedFilesModeRechecksOnlyTheRows()
{
    ConfigHome home;
    TempTree tree;
    tree.write("a.txt", "alpha beta\n");
    tree.write("b.txt", "alpha beta\n");
    tree.write("c.txt", "alpha beta\n");
    FrameFixture window;
    window.setKeywords(QStringLiteral("alpha"));
    window.setFolder(qs(tree.root()));
    QVERIFY(window.search());
    QCOMPARE(window.doc().rowCount(), 3);

    tree.write("b.txt", "gamma only\n");
    tree.write("d.txt", "alpha beta\n"); // not listed, so not searched
    window.panel().listedBelowBox()->setChecked(true);
    idle();
    // While the listed files are searched, where to search does not matter.
    QVERIFY(!window.panel().folderBox()->isEnabled());
    QVERIFY(!window.panel().patternsBox()->isEnabled());
    QVERIFY(!window.panel().subFoldersBox()->isEnabled());
    QVERIFY(!window.panel().folderButton()->isEnabled());
    QVERIFY(!window.panel().filesButton()->isEnabled());

    window.setKeywords(QStringLiteral("beta"));
    QVERIFY(window.search());
    QCOMPARE(window.list().model()->rowCount(), 2);
    QCOMPARE(fileNameAt(window.list(), 0), QStringLiteral("a.txt"));
    QCOMPARE(fileNameAt(window.list(), 1), QStringLiteral("c.txt"));
    QVERIFY(window.status().startsWith(QStringLiteral("2 files found (3 files checked).")));
}

void SearchFromPanelTest::closeDuringASearchKeepsItsTexts()
{
    ConfigHome home;
    TempTree tree;
    for (int i = 0; i < 200; ++i)
        tree.write("f" + std::to_string(i) + ".txt", "needle\n");
    {
        FrameFixture window;
        window.setKeywords(QStringLiteral("needle"));
        window.setFolder(qs(tree.root()));
        idle();
        QTest::mouseClick(window.panel().startButton(), Qt::LeftButton);
        QVERIFY(window.frame().search().inProgress());
        window.close();
        QVERIFY(!window.frame().search().inProgress());
        QVERIFY(window.messages.isEmpty());
    }
    QCOMPARE(home.value("keys1"), QStringLiteral("needle"));
    QCOMPARE(home.value("directory1"), qs(tree.root()));
    QCOMPARE(home.value("file1"), QStringLiteral("*.*"));
    QCOMPARE(home.value("wwidth"), QStringLiteral("728"));
}

// The scope set in Advanced Settings reaches the search, and the summary says what it leaves out.
void SearchFromPanelTest::summaryNamesAnActiveScope()
{
    ConfigHome home;
    TempTree tree;
    tree.write("a.txt", "the mutex lock\n");
    FrameFixture window;
    auto runner = std::make_unique<ScriptedRunner>();
    runner->then([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("excludedFolders"))->setText(QStringLiteral("build;node_modules"));
        dialog.findChild<QLineEdit*>(QStringLiteral("maxSize"))->setText(QStringLiteral("1M"));
        dialog.accept();
        return dialog.result();
    });
    window.frame().setModalRunner(std::move(runner));
    window.frame().commandAction(CommandId::AdvancedSettings)->trigger();
    window.setKeywords(QStringLiteral("mutex"));
    window.setFolder(qs(tree.root()));
    QVERIFY(window.search());
    QVERIFY2(window.status().startsWith(QStringLiteral("1 file found (1 file checked).time spent: ")),
        qPrintable(window.status()));
    QVERIFY2(window.status().endsWith(QStringLiteral(" (scope: 2 folders excluded, size \u2264 1 MB)")),
        qPrintable(window.status()));
}

// Two folders in the Folder box, searched in the order given; a "!" pattern and an excluded folder leave
// their files out.
void SearchFromPanelTest::severalFoldersAndExclusionsGiveTheirRows()
{
    ConfigHome home;
    TempTree tree;
    for (const char* name :
        { "one/a.txt", "one/a_test.txt", "one/build/c.txt", "one/sub/d.txt", "two/b.txt", "two/e.log", "three/f.txt" })
        tree.write(name, "the mutex\n");
    FrameFixture window;
    auto runner = std::make_unique<ScriptedRunner>();
    runner->then([](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("excludedFolders"))->setText(QStringLiteral("build"));
        dialog.accept();
        return dialog.result();
    });
    window.frame().setModalRunner(std::move(runner));
    window.frame().commandAction(CommandId::AdvancedSettings)->trigger();
    window.setKeywords(QStringLiteral("mutex"));
    window.setFolder(qs(tree.path("two") + ";" + tree.path("one")));
    window.panel().patternsBox()->setEditText(QStringLiteral("*.txt;!*_test.txt"));
    window.panel().subFoldersBox()->setChecked(true);
    QVERIFY(window.search());
    QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join(QLatin1Char('\n'))));
    QCOMPARE(window.foundPaths(),
        std::vector<std::string>({ tree.path("two/b.txt"), tree.path("one/a.txt"), tree.path("one/sub/d.txt") }));
    QVERIFY2(window.status().endsWith(QStringLiteral(" (scope: 1 folder excluded)")), qPrintable(window.status()));
}

VELLICK_UI_TEST_MAIN(SearchFromPanelTest)
#include "tst_search_from_panel.moc"
