// Keyword texts as bytes: keywords that are not UTF-8 (kept in the settings file, or handed over from a
// file) are searched for as those bytes, also from the recent list and across a restart; Paste and the
// hand-over leave the clipboard alone when there is nothing to copy.
#include "app/search_panel.h"
#include "support/temp_tree.h"
#include "support/ui_test_support.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <fstream>

using namespace vellick;
using namespace vellick::test;

namespace {

std::vector<std::string> fileNames(FrameFixture& window)
{
    std::vector<std::string> names;
    for (const std::string& path : window.foundPaths())
        names.push_back(path.substr(path.rfind('/') + 1));
    return names;
}

} // namespace

class TextHandoverTest : public QObject {
    Q_OBJECT

private slots:
    void keywordBytesThatAreNotUtf8FindTheirFile();
    void nothingToCopyLeavesTheClipboardAlone();
};

void TextHandoverTest::keywordBytesThatAreNotUtf8FindTheirFile()
{
    ConfigHome home;
    TempTree tree;
    // Text files: a byte above 0x7F in the first 256 makes a file binary, where such bytes match nothing.
    const std::string firstLine = std::string(300, 'x') + "\n";
    tree.write("utf8.txt", firstLine + "caf\xC3\xA9\n");
    tree.write("latin1.txt", firstLine + "caf\xE9\n");
    {
        QVERIFY(QDir().mkpath(QFileInfo(home.iniPath()).path()));
        std::ofstream ini;
        ini.open(home.iniPath().toStdString(), std::ios::binary);
        ini << "[Settings]\nkeys1=caf\xE9\nkeys2=caf\xC3\xA9\n";
    }
    {
        FrameFixture window;
        // Shown as the text pane shows such bytes, searched for as those bytes, again and again.
        QCOMPARE(window.panel().keywordsBox()->currentText(), QStringLiteral("caf\u00E9"));
        window.setFolder(qs(tree.root()));
        for (int round = 0; round < 2; ++round) {
            QVERIFY(window.search());
            QCOMPARE(fileNames(window), std::vector<std::string> { "latin1.txt" });
        }
        window.panel().keywordsBox()->setCurrentIndex(1);
        QCOMPARE(window.panel().keywordsBox()->currentText(), QStringLiteral("caf\u00E9"));
        QVERIFY(window.search());
        QCOMPARE(fileNames(window), std::vector<std::string> { "utf8.txt" });
        window.close();
    }
    const std::string saved = readFile(home.iniPath().toStdString());
    QVERIFY2(saved.find("keys1=caf\xC3\xA9") != std::string::npos, saved.c_str());
    QVERIFY2(saved.find("keys2=caf\xE9") != std::string::npos, saved.c_str());
}

void TextHandoverTest::nothingToCopyLeavesTheClipboardAlone()
{
    ConfigHome home;
    FrameFixture window;
    window.setKeywords(QStringLiteral("old words"));
    QGuiApplication::clipboard()->setText(QStringLiteral(" \t "));
    idle();
    window.frame().commandAction(CommandId::Paste)->trigger();
    QCOMPARE(window.panel().keywordsBox()->currentText(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" \t "));
}

VELLICK_UI_TEST_MAIN(TextHandoverTest)
#include "tst_text_handover.moc"
