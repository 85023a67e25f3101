// A folder on the window's command line (`vellick FOLDER`, "Open With" in a file manager): which argument
// counts, what it resolves to, and that it only fills the Folder box.
#include "app/search_panel.h"
#include "app/start_folder.h"
#include "support/current_directory_guard.h"
#include "support/temp_tree.h"
#include "support/ui_test_support.h"

#include <QComboBox>
#include <QDir>

using namespace vellick;
using namespace vellick::test;

class StartFolderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void argumentsResolve_data();
    void argumentsResolve();
    void folderFillsTheBoxWithoutSearching();
    void missingFolderLeavesTheBoxAndSaysSo();

private:
    TempTree m_tree;
    QString m_root;
};

void StartFolderTest::initTestCase()
{
    m_tree.write("with space/notes.txt", "text");
    m_tree.makeFolder("with space/sub");
    m_root = qs(m_tree.root());
}

// "@" in a row stands for the temporary tree's absolute path; relative arguments are taken from inside it.
void StartFolderTest::argumentsResolve_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("message");
    const QString none;
    QTest::newRow("nothing") << QStringList {} << none << none;
    QTest::newRow("folder") << QStringList { "@/with space/sub" } << "@/with space/sub" << none;
    QTest::newRow("trailing slash and dots") << QStringList { "@/with space/./sub/" } << "@/with space/sub" << none;
    QTest::newRow("relative folder") << QStringList { "with space" } << "@/with space" << none;
    QTest::newRow("file means its folder") << QStringList { "@/with space/notes.txt" } << "@/with space" << none;
    QTest::newRow("file URI, percent-encoded")
        << QStringList { "file://@/with%20space/sub" } << "@/with space/sub" << none;
    QTest::newRow("options before it are passed over")
        << QStringList { "--new-window", "-x", "@/with space" } << "@/with space" << none;
    QTest::newRow("only the first counts")
        << QStringList { "@/with space", "/no/such/folder" } << "@/with space" << none;
    QTest::newRow("missing folder") << QStringList { "@/missing" } << none << "Directory \"@/missing\" not found";
    QTest::newRow("remote URI") << QStringList { "sftp://host/srv" } << none
                                << "\"sftp://host/srv\" is not a local folder.";
}

void StartFolderTest::argumentsResolve()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, folder);
    QFETCH(QString, message);
    for (QString& argument : arguments)
        argument.replace(QLatin1Char('@'), m_root);
    CurrentDirectoryGuard directory;
    QVERIFY(QDir::setCurrent(m_root));

    const StartFolder start = startFolderFromArguments(arguments);

    QCOMPARE(start.folder, folder.replace(QLatin1Char('@'), m_root));
    QCOMPARE(start.message, message.replace(QLatin1Char('@'), m_root));
}

void StartFolderTest::folderFillsTheBoxWithoutSearching()
{
    ConfigHome config;
    FrameFixture window;
    window.setKeywords(QStringLiteral("text")); // what notes.txt holds: a search would find it
    const QString statusBefore = window.status();

    applyStartFolder(window.frame(), startFolderFromArguments({ m_root + QStringLiteral("/with space") }));
    idle();

    QCOMPARE(window.panel().folderBox()->currentText(), m_root + QStringLiteral("/with space"));
    QCOMPARE(window.doc().rowCount(), 0);
    QVERIFY(!window.frame().searchRunning());
    QCOMPARE(window.status(), statusBefore);
}

void StartFolderTest::missingFolderLeavesTheBoxAndSaysSo()
{
    ConfigHome config;
    FrameFixture window;
    window.setFolder(m_root);

    applyStartFolder(window.frame(), startFolderFromArguments({ QStringLiteral("/no/such/folder") }));
    idle();

    QCOMPARE(window.panel().folderBox()->currentText(), m_root);
    QCOMPARE(window.status(), QStringLiteral("Directory \"/no/such/folder\" not found"));
    QVERIFY(window.messages.isEmpty());
}

VELLICK_UI_TEST_MAIN(StartFolderTest)
#include "tst_start_folder.moc"
