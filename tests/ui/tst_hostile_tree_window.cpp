// The window over a tree built to trap a search: special files, links to devices and in circles, a very
// deep folder, and found files that change before their lines are shown. Nothing may hang or be read
// that should not be, and the user is told when a file's lines cannot be shown.
#include "app/search_panel.h"
#include "support/cline_fields.h"
#include "support/temp_tree.h"
#include "support/ui_test_support.h"
#include "views/vellick_view.h"

#include <QCheckBox>
#include <QRegularExpression>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellick;
using namespace vellick::test;

namespace {

std::vector<std::string> sortedFoundPaths(FrameFixture& window)
{
    std::vector<std::string> paths = window.foundPaths();
    std::sort(paths.begin(), paths.end());
    return paths;
}

void select(FrameFixture& window, const std::string& path)
{
    const std::vector<std::string> paths = window.foundPaths();
    window.selectRow(static_cast<int>(std::find(paths.begin(), paths.end(), path) - paths.begin()));
}

} // namespace

class HostileTreeWindowTest : public QObject {
    Q_OBJECT
private slots:
    void searchPassesOverTrapsAndListsEachFileOnce();
    void filesChangedAfterTheSearchAreNotShown();
};

void HostileTreeWindowTest::searchPassesOverTrapsAndListsEachFileOnce()
{
    ConfigHome home;
    TempTree outside;
    TempTree tree;
    const std::string plain = tree.write("plain.txt", "alpha\n");
    std::string deepFolder = "d";
    for (int level = 1; level < 300; ++level)
        deepFolder += "/d";
    const std::string deep = tree.write(deepFolder + "/deep.txt", "alpha\n");
    tree.makeFifo("pipe.txt");
    tree.makeSocket("socket.txt");
    tree.makeSymlink("/dev/zero", "zero.txt");
    tree.makeSymlink("/dev/urandom", "random.txt");
    tree.makeSymlink("/", "root");
    tree.makeSymlink("..", "d/up");
    tree.makeSymlink(tree.path("gone.txt"), "dangling.txt");
    const std::string linked = tree.makeSymlink(outside.write("target.txt", "alpha\n"), "linked.txt");

    FrameFixture window;
    window.setKeywords(QStringLiteral("alpha"));
    window.setFolder(qs(tree.root()));
    window.panel().subFoldersBox()->setChecked(true);
    QVERIFY(window.search());

    QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join('\n')));
    QCOMPARE(sortedFoundPaths(window), (std::vector<std::string> { deep, linked, plain }));
    QVERIFY2(
        window.status().startsWith(QStringLiteral("3 files found (3 files checked)")), qPrintable(window.status()));
    select(window, deep);
    QTRY_COMPARE(window.frame().statusPanes().hitText(), QStringLiteral("key: 1"));
}

void HostileTreeWindowTest::filesChangedAfterTheSearchAreNotShown()
{
    ConfigHome home;
    TempTree tree;
    for (const char* name : { "a.txt", "b.txt", "c.txt", "d.txt" })
        tree.write(name, "some words then alpha\n");
    FrameFixture window;
    window.setKeywords(QStringLiteral("alpha"));
    window.setFolder(qs(tree.root()));
    QVERIFY(window.search());
    QCOMPARE(window.doc().rowCount(), 4);

    // The current file's lines are already shown; the three others change before they are.
    std::vector<std::string> others = sortedFoundPaths(window);
    std::erase(others, window.doc().record(window.doc().current()).path);
    const std::string vanished = others[0];
    const std::string shortened = others[1];
    const std::string piped = others[2];
    ::unlink(vanished.c_str());
    const std::string shortName = shortened.substr(tree.root().size() + 1);
    tree.write(shortName, "some");
    tree.setModified(shortName, 86400);
    ::unlink(piped.c_str());
    ::mkfifo(piped.c_str(), 0600); // a reader of this would wait for a writer for ever
    for (const std::string& path : others) {
        select(window, path);
        const CLine& line = window.doc().record(window.doc().current());
        QCOMPARE(line.path, path);
        QTRY_VERIFY(line.contextState() != ContextState::NotLoaded || path == piped);
        QVERIFY(line.contextState() != ContextState::Loaded);
    }
    const QStringList expected {
        qs("Can not access file \"" + vanished + "\"."),
        qs("File \"" + shortened
            + "\" has been modified since last searching.\nSearch results can not be shown. You may search it "
              "again."),
    };
    for (const QString& message : expected)
        QVERIFY2(window.messages.contains(message), qPrintable(window.messages.join('\n')));
}

VELLICK_UI_TEST_MAIN(HostileTreeWindowTest)
#include "tst_hostile_tree_window.moc"
