// What the user chooses in the dialogs of the commands on found files reaches the program as chosen: the
// report's file name after the extension rule, a name that is not UTF-8 from Files & File Types, programs
// in Open With's browser, option boxes changed without the mouse, and the opener's failure.
#include "app/file_command_state.h"
#include "app/file_types_dlg.h"
#include "app/found_file_commands.h"
#include "app/open_with_dlg.h"
#include "app/report_file_chooser.h"
#include "platform/linux/freedesktop_trash.h"
#include "platform/linux/posix_file_copier.h"
#include "platform/linux/posix_file_renamer.h"
#include "platform/linux/xdg_launcher.h"
#include "results/vellick_doc.h"
#include "search/file_patterns.h"
#include "search/keyword_list.h"
#include "search/search_options.h"
#include "support/private_xdg.h"
#include "support/scoped_env.h"
#include "support/scripted_runner.h"
#include "support/temp_tree.h"
#include "support/ui_test_support.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <sys/stat.h>

using namespace vellick;

namespace {

template <typename T> T* child(const QObject& parent, const char* name)
{
    T* found = parent.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// What a screen reader does to a check box: its toggle action.
void toggleAsAScreenReader(QCheckBox* box)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
    QVERIFY(accessible && accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
}

// Chooses a file and a format in the report save dialog.
test::ScriptedRunner::Step chooseReport(const QString& path, const char* filter)
{
    return [path, filter](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        files.selectNameFilter(QString::fromLatin1(filter));
        files.selectFile(path);
        return int(QDialog::Accepted);
    };
}

class RecordingHost : public FileCommandHost {
public:
    void setStatusText(const QString&) override { }
    void showMessage(const QString& text) override { messages.append(text); }
    bool searchRunning() const override { return false; }
    const KeywordList& lastKeywords() const override { return keywords; }

    QStringList messages;
    KeywordList keywords { "alpha", IgnoreCase };
};

} // namespace

class DialogChoicesTest : public QObject {
    Q_OBJECT
private slots:
    void reportNameMadeByTheExtensionAsksBeforeReplacing();
    void reportOptionsFollowEveryChangeOfTheBoxes();
    void fileTypesKeepNamesThatAreNotUtf8();
    void openWithBrowsesPrograms();
    void openSaysWhenTheOpenerFails();
};

void DialogChoicesTest::reportNameMadeByTheExtensionAsksBeforeReplacing()
{
    test::TempTree tree;
    const std::string existing = tree.write("r4-plain.txt", "kept\n");
    const QString typed = QString::fromStdString(tree.path("r4-plain"));
    FileCommandState state;
    test::ScriptedRunner runner;
    QStringList questions;
    const auto answer = [&questions](QMessageBox::StandardButton button) {
        return [&questions, button](QDialog& dialog) {
            auto& box = static_cast<QMessageBox&>(dialog);
            questions.append(box.text());
            return int(button);
        };
    };
    runner.then(chooseReport(typed, "Plain Text File (*.txt)"));
    runner.then(answer(QMessageBox::No));
    QCOMPARE(ChooseReportFile(nullptr, runner, state), std::nullopt);
    QCOMPARE(questions,
        QStringList {
            QString::fromStdString(existing) + QStringLiteral(" already exists.\nDo you want to replace it?") });
    QCOMPARE(test::readFile(existing), std::string("kept\n"));

    runner.then(chooseReport(typed, "Plain Text File (*.txt)"));
    runner.then(answer(QMessageBox::Yes));
    QCOMPARE(ChooseReportFile(nullptr, runner, state), std::optional<std::string>(existing));
    // The dialog itself asked about the name as typed; a new name asks nothing.
    runner.then(chooseReport(QString::fromStdString(existing), "Plain Text File (*.txt)"));
    QCOMPARE(ChooseReportFile(nullptr, runner, state), std::optional<std::string>(existing));
    runner.then(chooseReport(typed, "CSV (MicroSoft Excel File) (*.csv)"));
    QCOMPARE(ChooseReportFile(nullptr, runner, state), std::optional<std::string>(tree.path("r4-plain.csv")));
    QCOMPARE(questions.size(), 2);
    QVERIFY(runner.done());
}

void DialogChoicesTest::reportOptionsFollowEveryChangeOfTheBoxes()
{
    test::TempTree tree;
    FileCommandState state;
    state.lastDestinationFolder = tree.root();
    test::ScriptedRunner runner;
    runner.then([](QDialog& dialog) {
        toggleAsAScreenReader(child<QCheckBox>(dialog, "includeType"));
        child<QCheckBox>(dialog, "includeSize")->setChecked(true); // the keyboard's way
        return int(QDialog::Rejected);
    });
    QVERIFY(!state.reportOptions.includeType && !state.reportOptions.includeSize);
    QCOMPARE(ChooseReportFile(nullptr, runner, state), std::nullopt);
    QVERIFY(state.reportOptions.includeType);
    QVERIFY(state.reportOptions.includeSize);
}

void DialogChoicesTest::fileTypesKeepNamesThatAreNotUtf8()
{
    test::TempTree tree;
    const std::string name = "caf\xE9 notes.txt";
    tree.write(name, "x");
    tree.write("plain.txt", "x");
    CFileTypesDlg dialog(QString::fromStdString(tree.root()), tree.root());
    auto* files = child<QListWidget>(dialog, "fileList");
    const auto found = files->findItems(QStringLiteral("caf"), Qt::MatchStartsWith);
    QCOMPARE(found.size(), 1);
    files->setCurrentItem(found.first());
    child<QPushButton>(dialog, "selectFileButton")->click();
    child<QPushButton>(dialog, "okButton")->click();
    const QString patterns = dialog.chosenPatterns().value_or(QString());
    QCOMPARE(patterns, QStringLiteral("caf? notes.txt,"));
    const std::string pattern = patterns.chopped(1).toStdString();
    QVERIFY(matchesFilePattern(pattern, name));
    QVERIFY(!matchesFilePattern(pattern, "plain.txt"));
}

void DialogChoicesTest::openWithBrowsesPrograms()
{
    test::TempTree tree;
    const std::string tool = tree.write("bin/tool", "#!/bin/sh\n");
    ::chmod(tool.c_str(), 0755);
    tree.write("bin/notes.txt", "not a program\n");
    tree.makeFolder("bin/more");
    const QString folder = QString::fromStdString(tree.path("bin"));
    test::ScriptedRunner runner;
    QStringList programsShown;
    QStringList allShown;
    runner.then([&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        files.setDirectory(folder);
        auto* proxy = files.proxyModel();
        auto* model = qobject_cast<QFileSystemModel*>(proxy ? proxy->sourceModel() : nullptr);
        if (!model)
            return int(QDialog::Rejected);
        const auto shown = [&] {
            QStringList names;
            const QModelIndex parent = proxy->mapFromSource(model->index(folder));
            for (int row = 0; row < proxy->rowCount(parent); ++row)
                names.append(proxy->index(row, 0, parent).data().toString());
            names.sort();
            return names;
        };
        if (!QTest::qWaitFor([&] { return model->rowCount(model->index(folder)) == 3; }, 5000))
            return int(QDialog::Rejected);
        programsShown = shown();
        // The user picks "All Files" in the dialog's type box.
        QTest::keyClick(child<QComboBox>(files, "fileTypeCombo"), Qt::Key_Down);
        allShown = shown();
        return int(QDialog::Rejected);
    });
    COpenWithDlg dialog(runner);
    child<QPushButton>(dialog, "browseButton")->click();
    QCOMPARE(programsShown, QStringList({ "more", "tool" }));
    QCOMPARE(allShown, QStringList({ "more", "notes.txt", "tool" }));
}

void DialogChoicesTest::openSaysWhenTheOpenerFails()
{
    test::PrivateXdg xdg;
    // A desktop with no session of its own: xdg-open runs the associated program and fails with it.
    const test::ScopedEnv display("DISPLAY", std::getenv("DISPLAY") ? std::getenv("DISPLAY") : ":0");
    const test::ScopedEnv desktop("XDG_CURRENT_DESKTOP", "");
    const test::ScopedEnv session("DESKTOP_SESSION", "");
    const std::string viewer = xdg.tree().write("bin/viewer", "#!/bin/sh\nexit 1\n");
    ::chmod(viewer.c_str(), 0755);
    xdg.tree().write("data/applications/vellick-failing.desktop",
        "[Desktop Entry]\nType=Application\nName=Failing\nExec=" + viewer + " %f\nMimeType=text/plain;\n");
    test::shellOutput("xdg-mime default vellick-failing.desktop text/plain 2>&1");

    CVellickDoc doc;
    doc.setCurrent(doc.addRecord(xdg.tree().write("my docs/read me.txt", "alpha\n"), FileKind::Text));
    RecordingHost host;
    FreedesktopTrash trash(xdg.dataHome());
    PosixFileRenamer renamer;
    PosixFileCopier copier;
    XdgLauncher launcher;
    test::StayingPrinter printer;
    test::ScriptedRunner runner;
    QStringList boxes;
    runner.then([&boxes](QDialog& dialog) {
        boxes.append(dialog.windowTitle() + QLatin1Char('|') + static_cast<QMessageBox&>(dialog).text());
        return int(QMessageBox::Ok);
    });
    FoundFileCommands commands(nullptr, doc, host, { trash, renamer, copier, launcher, printer }, runner);
    commands.open(false);
    QCOMPARE(boxes,
        QStringList { QStringLiteral("Open Error|Unable to open file ")
            + QString::fromStdString(xdg.tree().path("my docs/read me.txt"))
            + QStringLiteral(".\nMake sure the command specified is correct.") });
}

VELLICK_UI_TEST_MAIN(DialogChoicesTest)
#include "tst_dialog_choices.moc"
