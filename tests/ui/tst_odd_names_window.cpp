// Found files whose names are hostile to text handling, handled through the window: a name that is not
// UTF-8, a line break, a leading dash, quotes, runs of blanks and a name of 255 bytes. The window shows
// names as text, but every command must reach the very file that was found, by its bytes.
#include "app/main_frame.h"
#include "app/search_panel.h"
#include "platform/linux/freedesktop_trash.h"
#include "platform/linux/posix_file_copier.h"
#include "platform/linux/posix_file_renamer.h"
#include "platform/linux/xdg_launcher.h"
#include "results/vellick_doc.h"
#include "support/cline_fields.h"
#include "support/private_xdg.h"
#include "support/scripted_runner.h"
#include "support/ui_test_support.h"
#include "views/result_list_model.h"
#include "views/vellick_view.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

using namespace vellick;
using namespace vellick::test;

namespace {

const std::vector<std::string>& oddNames()
{
    static const std::vector<std::string> names {
        "bad \xff\xfe name.txt",
        "line\nbreak.txt",
        "-rf --help.txt",
        "it's \"quoted\".txt",
        "  two  blanks .txt",
        std::string(251, 'n') + ".txt",
    };
    return names;
}

// Opening with the desktop's association is recorded, not done; Open With starts the program for real.
class RecordingLauncher : public XdgLauncher {
public:
    std::optional<std::string> associatedApplication(const std::string&) override { return "viewer.desktop"; }
    ShellResult openWithAssociation(const std::string& path) override
    {
        opened.push_back(path);
        return ShellResult::done();
    }
    std::vector<std::string> opened;
};

// A window over private XDG folders that has searched a folder of oddly named files holding "alpha".
struct OddNamesWindow {
    OddNamesWindow()
    {
        for (const std::string& name : oddNames())
            xdg.tree().write("files/" + name, "alpha line\n");
        auto scripted = std::make_unique<ScriptedRunner>();
        runner = scripted.get();
        window.frame().setModalRunner(std::move(scripted));
        window.frame().setFileServices({ trash, renamer, copier, launcher, printer });
        window.setKeywords(QStringLiteral("alpha"));
        window.setFolder(qs(xdg.tree().path("files")));
    }
    std::string file(const std::string& name) const { return xdg.tree().path("files/" + name); }
    int rowOf(const std::string& name)
    {
        const auto paths = window.foundPaths();
        return static_cast<int>(std::find(paths.begin(), paths.end(), file(name)) - paths.begin());
    }
    void trigger(CommandId id) { window.frame().commandAction(id)->trigger(); }

    PrivateXdg xdg;
    FreedesktopTrash trash;
    PosixFileRenamer renamer;
    PosixFileCopier copier;
    RecordingLauncher launcher;
    StayingPrinter printer;
    FrameFixture window;
    ScriptedRunner* runner = nullptr;
};

std::vector<std::string> sorted(std::vector<std::string> texts)
{
    std::sort(texts.begin(), texts.end());
    return texts;
}

std::vector<std::string> expectedPaths(const OddNamesWindow& w)
{
    std::vector<std::string> paths;
    for (const std::string& name : oddNames())
        paths.push_back(w.file(name));
    return sorted(paths);
}

} // namespace

class OddNamesWindowTest : public QObject {
    Q_OBJECT
private slots:
    void everyFileIsFoundListedAndItsLinesShown();
    void theReportNamesEveryFileByItsBytes();
    void openingHandsOverTheExactPath();
    void renameKeepsAnUntouchedNameAndTakesATypedOne();
    void copyAndDeleteReachTheFilesByTheirBytes();
};

void OddNamesWindowTest::everyFileIsFoundListedAndItsLinesShown()
{
    OddNamesWindow w;
    QVERIFY(w.window.search());
    QVERIFY(w.window.messages.isEmpty());
    QCOMPARE(sorted(w.window.foundPaths()), expectedPaths(w));

    const auto& model = w.window.list().resultModel();
    const QString shownInvalid = model.index(w.rowOf(oddNames()[0]), 0).data().toString();
    QCOMPARE(shownInvalid, QString::fromUtf8("bad \xef\xbf\xbd\xef\xbf\xbd name.txt"));
    QCOMPARE(model.index(w.rowOf(oddNames()[1]), 0).data().toString(), QStringLiteral("line\nbreak.txt"));
    for (int row = 0; row < w.window.doc().rowCount(); ++row) {
        w.window.selectRow(row);
        const CLine& line = w.window.doc().record(w.window.doc().current());
        QTRY_COMPARE(line.contextState(), ContextState::Loaded);
        QCOMPARE(qs(line.BuildDisplayLine(0, true)), QStringLiteral("line    1: alpha line"));
        QTRY_COMPARE(w.window.frame().statusPanes().hitText(), QStringLiteral("key: 1"));
    }
    QVERIFY(w.window.messages.isEmpty());
}

void OddNamesWindowTest::theReportNamesEveryFileByItsBytes()
{
    OddNamesWindow w;
    QVERIFY(w.window.search());
    w.trigger(CommandId::CheckAll);
    const std::string report = w.xdg.tree().path("report.txt");
    w.runner->then([&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        files.findChild<QCheckBox*>(QStringLiteral("includePath"))->click();
        files.selectNameFilter(QStringLiteral("Plain Text File (*.txt)"));
        files.selectFile(qs(report));
        return int(QDialog::Accepted);
    });
    w.trigger(CommandId::SaveReport);
    std::string expected;
    for (const std::string& path : w.window.foundPaths())
        expected += path + "\r\n";
    QCOMPARE(readFile(report), expected);
}

void OddNamesWindowTest::openingHandsOverTheExactPath()
{
    OddNamesWindow w;
    QVERIFY(w.window.search());
    for (int row = 0; row < w.window.doc().rowCount(); ++row) {
        w.window.selectRow(row);
        w.trigger(CommandId::Open);
    }
    QCOMPARE(w.launcher.opened, w.window.foundPaths());

    // A program named in Open With gets the path as its one argument, byte for byte.
    const std::string output = w.xdg.tree().path("args");
    const std::string program
        = w.xdg.tree().write("bin/viewer", "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" + output + "'\n");
    ::chmod(program.c_str(), 0755);
    for (const std::string& name : { oddNames()[0], oddNames()[1], oddNames()[2] }) {
        ::unlink(output.c_str());
        w.window.selectRow(w.rowOf(name));
        w.runner->then([&](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("programName"))->setText(qs(program));
            dialog.accept();
            return dialog.result();
        });
        w.trigger(CommandId::OpenWith);
        QCOMPARE(waitForFile(output, 20), "1|" + w.file(name) + "|");
    }
    QVERIFY(w.window.messages.isEmpty());
}

void OddNamesWindowTest::renameKeepsAnUntouchedNameAndTakesATypedOne()
{
    OddNamesWindow w;
    QVERIFY(w.window.search());
    const auto editName = [&](const std::string& name, const std::function<void(QLineEdit&)>& edit) {
        w.window.selectRow(w.rowOf(name));
        w.trigger(CommandId::Rename);
        auto* editor = w.window.list().findChild<QLineEdit*>();
        QVERIFY(editor && editor->isVisible());
        edit(*editor);
        QTest::keyClick(editor, Qt::Key_Return);
        idle();
    };
    // Shown with replacement characters and confirmed unchanged: the file keeps its name.
    const std::string invalid = oddNames()[0];
    editName(invalid, [](QLineEdit&) {});
    QVERIFY(pathExists(w.file(invalid)));
    QVERIFY(!pathExists(w.file("bad \xef\xbf\xbd\xef\xbf\xbd name.txt")));
    QCOMPARE(w.runner->titles, QStringList());

    editName(invalid, [](QLineEdit& editor) { editor.setText(QString::fromUtf8("fixed \xc3\xa9.txt")); });
    QVERIFY(!pathExists(w.file(invalid)));
    QCOMPARE(readFile(w.file("fixed \xc3\xa9.txt")), std::string("alpha line\n"));
    QVERIFY(w.rowOf("fixed \xc3\xa9.txt") < w.window.doc().rowCount());

    editName(oddNames()[2], [](QLineEdit& editor) { editor.setText(QStringLiteral("--still-a-dash.txt")); });
    QVERIFY(pathExists(w.file("--still-a-dash.txt")));

    // One byte over the longest name the file system takes: the file stays, the user is told.
    const std::string longest = oddNames()[5];
    w.runner->then([](QDialog&) { return int(QDialog::Accepted); });
    editName(longest, [](QLineEdit& editor) { editor.setText(QLatin1Char('x') + editor.text()); });
    QCOMPARE(w.runner->titles, QStringList { "Rename" });
    QVERIFY(pathExists(w.file(longest)));
    QVERIFY(w.rowOf(longest) < w.window.doc().rowCount());
}

void OddNamesWindowTest::copyAndDeleteReachTheFilesByTheirBytes()
{
    OddNamesWindow w;
    QVERIFY(w.window.search());
    // One file through the save dialog, its offered name accepted as shown.
    const std::string invalid = oddNames()[0];
    const QString single = qs(w.xdg.tree().makeFolder("single"));
    w.window.selectRow(w.rowOf(invalid));
    w.runner->then([&](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).setDirectory(single);
        return int(QDialog::Accepted);
    });
    w.trigger(CommandId::CopyTo);
    QCOMPARE(readFile(w.xdg.tree().path("single/" + invalid)), std::string("alpha line\n"));

    // All of them to a folder, then all of them to the Trash.
    const QString target = qs(w.xdg.tree().makeFolder("target"));
    w.trigger(CommandId::CheckAll);
    w.runner->then([&](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(target);
        return int(QDialog::Accepted);
    });
    w.trigger(CommandId::CopyTo);
    for (const std::string& name : oddNames())
        QCOMPARE(readFile(w.xdg.tree().path("target/" + name)), std::string("alpha line\n"));

    w.runner->then([](QDialog&) { return int(QMessageBox::Yes); });
    w.trigger(CommandId::Delete);
    QCOMPARE(w.window.doc().rowCount(), 0);
    const std::string trashed = w.xdg.dataHome() + "/Trash/files/";
    for (const std::string& name : oddNames()) {
        QVERIFY(!pathExists(w.file(name)));
        if (name.size() + std::strlen(".trashinfo") <= 255) // a longer one is trashed under a shorter name
            QCOMPARE(readFile(trashed + name), std::string("alpha line\n"));
    }
    const auto entries = std::filesystem::directory_iterator(trashed);
    QCOMPARE(std::distance(begin(entries), end(entries)), std::ptrdiff_t(oddNames().size()));
    const std::string info = readFile(w.xdg.dataHome() + "/Trash/info/" + invalid + ".trashinfo");
    QVERIFY2(info.find("Path=" + w.xdg.tree().path("files") + "/bad%20%FF%FE%20name.txt\n") != std::string::npos,
        info.c_str());
    QCOMPARE(w.runner->titles,
        QStringList(
            { "Copy bad \xef\xbf\xbd\xef\xbf\xbd name.txt to", "Select a destination folder", "Confirm file delete" }));
}

VELLICK_UI_TEST_MAIN(OddNamesWindowTest)
#include "tst_odd_names_window.moc"
