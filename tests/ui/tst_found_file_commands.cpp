// The commands on found files with real files, the real Trash, copier, renamer and launcher, in private
// XDG folders; dialogs and message boxes are answered by a scripted runner.
#include "app/found_file_commands.h"
#include "app/open_with_dlg.h"
#include "app/print_options_dlg.h"
#include "platform/linux/freedesktop_trash.h"
#include "platform/linux/posix_file_copier.h"
#include "platform/linux/posix_file_renamer.h"
#include "platform/linux/xdg_launcher.h"
#include "platform/print_service.h"
#include "results/vellick_doc.h"
#include "search/keyword_list.h"
#include "search/search_options.h"
#include "support/private_xdg.h"
#include "support/scripted_runner.h"
#include "support/ui_test_support.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>

using namespace vellick;

namespace {

class RecordingHost : public FileCommandHost {
public:
    void setStatusText(const QString& text) override { statusTexts.append(text); }
    void showMessage(const QString& text) override { messages.append(text); }
    bool searchRunning() const override { return running; }
    const KeywordList& lastKeywords() const override { return keywords; }

    QStringList statusTexts;
    QStringList messages;
    bool running = false;
    KeywordList keywords { "alpha", IgnoreCase };
};

class RecordingPrinter : public PrintService {
public:
    ShellResult print(const std::string& path) override { return handed("print", path); }
    ShellResult preview(const std::string& path) override { return handed("preview", path); }
    QStringList calls;
    std::string failure;

private:
    ShellResult handed(const char* verb, const std::string& path)
    {
        calls.append(QString::fromLatin1(verb) + QLatin1Char(' ') + QString::fromStdString(path));
        return failure.empty() ? ShellResult::done() : ShellResult::failed(failure);
    }
};

// A message box seen by the runner: its caption, icon and text.
struct SeenBox {
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    int buttons = 0;
};

} // namespace

class FoundFileCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void deleteAsksThenTrashesTheTakenFiles();
    void deleteAnsweredNoChangesNothing();
    void renameRulesAndFailures();
    void copyOneFileThroughTheSaveDialog();
    void copyToFolderRemembersTheFolderAndAsksBeforeReplacing();
    void openWithAProgramAndTheOpenError();
    void saveReportWritesTheCheckedAndHighlightedRows();
    void printWritesPlainTextAndCancelForgets();

private:
    int addFile(const std::string& name, const std::string& content);
    // Answers the next dialog as a message box: records it and presses `button`.
    void answerBox(QMessageBox::StandardButton button);
    FoundFileCommands& commands() { return *m_commands; }
    std::string path(const std::string& name) const { return m_xdg->tree().path(name); }

    std::unique_ptr<test::PrivateXdg> m_xdg;
    std::unique_ptr<CVellickDoc> m_doc;
    RecordingHost m_host;
    FreedesktopTrash m_trash;
    PosixFileRenamer m_renamer;
    PosixFileCopier m_copier;
    XdgLauncher m_launcher;
    RecordingPrinter m_printer;
    test::ScriptedRunner m_runner;
    QList<SeenBox> m_boxes;
    std::unique_ptr<FoundFileCommands> m_commands;
};

void FoundFileCommandsTest::init()
{
    m_xdg = std::make_unique<test::PrivateXdg>();
    m_doc = std::make_unique<CVellickDoc>();
    m_host = RecordingHost();
    m_printer.calls.clear();
    m_printer.failure.clear();
    m_runner = test::ScriptedRunner();
    m_boxes.clear();
    m_trash = FreedesktopTrash(m_xdg->dataHome());
    m_commands = std::make_unique<FoundFileCommands>(
        nullptr, *m_doc, m_host, FileServices { m_trash, m_renamer, m_copier, m_launcher, m_printer }, m_runner);
}

void FoundFileCommandsTest::cleanup()
{
    QVERIFY2(m_runner.done(), "a scripted dialog was not asked for");
    m_commands.reset();
    m_doc.reset();
    m_xdg.reset();
}

int FoundFileCommandsTest::addFile(const std::string& name, const std::string& content)
{
    return m_doc->addRecord(m_xdg->tree().write(name, content), FileKind::Text);
}

void FoundFileCommandsTest::answerBox(QMessageBox::StandardButton button)
{
    m_runner.then([this, button](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        m_boxes.append({ box.windowTitle(), box.icon(), box.text(), int(box.standardButtons()) });
        return int(button);
    });
}

void FoundFileCommandsTest::deleteAsksThenTrashesTheTakenFiles()
{
    for (const char* name : { "a.txt", "b.txt", "c.txt", "d.txt" })
        addFile(std::string("docs/") + name, "alpha\n");
    m_doc->record(0).checked = m_doc->record(2).checked = true;
    m_doc->setCurrent(3);
    answerBox(QMessageBox::Yes);
    commands().deleteFiles();

    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].caption, QStringLiteral("Confirm file delete"));
    QCOMPARE(m_boxes[0].text, QStringLiteral("Are you sure you want to send the selected file(s) to the Trash?"));
    QCOMPARE(m_boxes[0].icon, QMessageBox::Question);
    QCOMPARE(m_boxes[0].buttons, int(QMessageBox::Yes | QMessageBox::No));
    QCOMPARE(m_doc->rowCount(), 1);
    QCOMPARE(m_doc->current(), 1);
    QVERIFY(test::pathExists(path("docs/b.txt")));
    for (const char* name : { "a.txt", "c.txt", "d.txt" }) {
        QVERIFY(!test::pathExists(path(std::string("docs/") + name)));
        QVERIFY(test::pathExists(m_xdg->dataHome() + "/Trash/files/" + name));
    }
    const std::string listed = test::shellOutput("trash-list 2>&1");
    QVERIFY2(listed.find(path("docs/c.txt")) != std::string::npos, listed.c_str());
}

void FoundFileCommandsTest::deleteAnsweredNoChangesNothing()
{
    addFile("a.txt", "alpha\n");
    commands().deleteFiles(); // no current record: not even the question
    m_doc->setCurrent(0);
    answerBox(QMessageBox::No);
    commands().deleteFiles();
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_doc->rowCount(), 1);
    QVERIFY(test::pathExists(path("a.txt")));

    ::unlink(path("a.txt").c_str()); // the Trash cannot take it: the walk stops with the reason
    answerBox(QMessageBox::Yes);
    answerBox(QMessageBox::Ok);
    commands().deleteFiles();
    QCOMPARE(m_boxes.size(), 3);
    QCOMPARE(m_boxes[2].caption, QStringLiteral("Delete"));
    QVERIFY(m_boxes[2].text.contains(QStringLiteral("No such file or directory")));
    QCOMPARE(m_doc->rowCount(), 1);
}

void FoundFileCommandsTest::renameRulesAndFailures()
{
    addFile("old.txt", "alpha\n");
    addFile("taken.txt", "other\n");
    answerBox(QMessageBox::Ok);
    commands().finishRename(0, QStringLiteral("new:name.txt"));
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].caption, QStringLiteral("Rename"));
    QCOMPARE(m_boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(m_boxes[0].text,
        QStringLiteral(
            "A filename cannot contain any of the following characters:\n\n        \\  /  :  *  ?  \"  <  >  |"));

    commands().finishRename(0, QStringLiteral("OLD.TXT")); // letter case only: nothing happens
    QVERIFY(test::pathExists(path("old.txt")));
    answerBox(QMessageBox::Ok);
    commands().finishRename(0, QStringLiteral("taken.txt"));
    QCOMPARE(m_boxes.size(), 2);
    QVERIFY(m_boxes[1].text.contains(QStringLiteral("already exists")));
    QCOMPARE(test::readFile(path("taken.txt")), std::string("other\n"));
    QCOMPARE(m_doc->record(0).path, path("old.txt"));

    commands().finishRename(0, QStringLiteral("neu é.txt"));
    QCOMPARE(m_doc->record(0).path, path("neu é.txt"));
    QCOMPARE(test::readFile(path("neu é.txt")), std::string("alpha\n"));
}

void FoundFileCommandsTest::copyOneFileThroughTheSaveDialog()
{
    const int index = addFile("src/notes.txt", "alpha\n");
    m_doc->record(index).typeName = "plain text document";
    m_doc->setCurrent(index);
    QStringList filters;
    m_runner.then([&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        filters = files.nameFilters();
        files.selectFile(QString::fromStdString(path("notes copy.txt")));
        return int(QDialog::Accepted);
    });
    commands().copyTo();
    QCOMPARE(m_runner.titles, QStringList { "Copy notes.txt to" });
    // The file dialog folds the runs of blanks in the labels into one; "*.*" shows every name.
    QCOMPARE(filters, QStringList({ "plain text document *.txt (*.txt)", "All Files *.* (*)" }));
    QCOMPARE(test::readFile(path("notes copy.txt")), std::string("alpha\n"));

    m_runner.then([&](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(QString::fromStdString(path("src/notes.txt")));
        return int(QDialog::Accepted);
    });
    answerBox(QMessageBox::Ok);
    commands().copyTo();
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].caption, QStringLiteral("Error"));
    QCOMPARE(m_boxes[0].text, QStringLiteral("File cannot be copied to itself."));
    QCOMPARE(m_boxes[0].icon, QMessageBox::Critical);
    QCOMPARE(test::readFile(path("src/notes.txt")), std::string("alpha\n"));
}

void FoundFileCommandsTest::copyToFolderRemembersTheFolderAndAsksBeforeReplacing()
{
    addFile("src/a.txt", "new a");
    addFile("src/b.txt", "new b");
    addFile("src/c.txt", "new c");
    m_doc->record(0).checked = m_doc->record(2).checked = true;
    m_doc->setCurrent(1);
    const QString target = QString::fromStdString(m_xdg->tree().makeFolder("target"));
    m_xdg->tree().write("target/b.txt", "old b");
    QStringList openedIn;
    const auto chooseTarget = [&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        openedIn.append(files.directory().absolutePath());
        files.selectFile(target);
        return int(QDialog::Accepted);
    };
    m_runner.then(chooseTarget);
    answerBox(QMessageBox::No);
    commands().copyTo();
    QCOMPARE(m_runner.titles.first(), QStringLiteral("Select a destination folder"));
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].caption, QStringLiteral("Confirm File Replace"));
    QCOMPARE(m_boxes[0].buttons, int(QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel));
    QCOMPARE(test::readFile(path("target/a.txt")), std::string("new a"));
    QCOMPARE(test::readFile(path("target/b.txt")), std::string("old b"));
    QCOMPARE(test::readFile(path("target/c.txt")), std::string("new c"));
    QCOMPARE(commands().state().lastDestinationFolder, target.toStdString());

    m_runner.then(chooseTarget);
    answerBox(QMessageBox::YesToAll);
    commands().copyTo();
    QCOMPARE(openedIn.last(), target);
    QCOMPARE(m_boxes.size(), 2);
    QCOMPARE(test::readFile(path("target/b.txt")), std::string("new b"));

    m_host.running = true; // copy to folder waits for the search to end
    commands().copyTo();
    QCOMPARE(m_runner.titles.size(), 4);
}

void FoundFileCommandsTest::openWithAProgramAndTheOpenError()
{
    const int index = addFile("my docs/read me.txt", "alpha\n");
    m_doc->setCurrent(index);
    const std::string output = path("args.txt");
    const std::string program
        = m_xdg->tree().write("bin/viewer", "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" + output + "'\n");
    ::chmod(program.c_str(), 0755);
    const auto nameProgram = [](const std::string& name) {
        return [name](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("programName"))->setText(QString::fromStdString(name));
            dialog.accept();
            return dialog.result();
        };
    };
    m_runner.then(nameProgram(program));
    commands().open(true);
    QCOMPARE(m_runner.titles, QStringList { "Open With ..." });
    QCOMPARE(test::waitForFile(output, 20), "1\n" + path("my docs/read me.txt") + "\n");

    m_runner.then(nameProgram(path("bin/missing")));
    answerBox(QMessageBox::Ok);
    commands().open(true);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].caption, QStringLiteral("Open Error"));
    QCOMPARE(m_boxes[0].text,
        QString::fromStdString(
            "Unable to open file " + path("my docs/read me.txt") + ".\nMake sure the command specified is correct."));

    m_host.running = true;
    commands().open(true); // ignored during a search
    QCOMPARE(m_runner.titles.size(), 3);
}

void FoundFileCommandsTest::saveReportWritesTheCheckedAndHighlightedRows()
{
    addFile("a.txt", "alpha one\n");
    addFile("b.txt", "alpha two\n");
    addFile("c.txt", "alpha three\n");
    m_doc->record(2).checked = true;
    m_doc->setCurrent(0);
    const QString chosen = QString::fromStdString(path("report.csv"));
    m_runner.then([&](QDialog& dialog) {
        auto& files = static_cast<QFileDialog&>(dialog);
        files.findChild<QCheckBox*>(QStringLiteral("includePath"))->click();
        files.selectNameFilter(QStringLiteral("Plain Text File (*.txt)"));
        files.selectFile(chosen);
        return int(QDialog::Accepted);
    });
    commands().saveReport();
    QCOMPARE(m_host.statusTexts, QStringList({ "Saving ...", " " }));
    QCOMPARE(test::readFile(path("report.txt")), path("a.txt") + "\r\n" + path("c.txt") + "\r\n");
    QVERIFY(!test::pathExists(path("report.csv")));
    QCOMPARE(commands().state().reportFormat, ReportFormat::PlainText);
}

void FoundFileCommandsTest::printWritesPlainTextAndCancelForgets()
{
    addFile("a.txt", "alpha\n");
    m_doc->setCurrent(0);
    const std::string printFile = m_xdg->cacheHome() + "/vellick/printresult.wri";
    m_runner.then([](QDialog& dialog) {
        dialog.findChild<QCheckBox*>(QStringLiteral("includeType"))->click();
        return int(QDialog::Rejected);
    });
    commands().printReport(false);
    QCOMPARE(m_runner.titles, QStringList { "Print search result" });
    QVERIFY(!commands().state().reportOptions.includeType);
    QVERIFY(!test::pathExists(printFile));

    m_runner.then([](QDialog& dialog) {
        dialog.findChild<QCheckBox*>(QStringLiteral("includeKeywords"))->click();
        return int(QDialog::Accepted);
    });
    commands().printReport(true);
    QVERIFY(commands().state().reportOptions.includeKeywords);
    QCOMPARE(commands().state().reportFormat, ReportFormat::Csv); // the saving format stays
    QCOMPARE(test::readFile(printFile), std::string("a.txt\nKeywords: \"alpha\"\r\n"));
    QCOMPARE(m_printer.calls, QStringList { "preview " + QString::fromStdString(printFile) });

    m_printer.failure = "Printing failed: lp: Error - no default destination available.";
    m_runner.then([](QDialog&) { return int(QDialog::Accepted); });
    commands().printReport(false);
    QCOMPARE(m_host.statusTexts.last(), QString::fromStdString(m_printer.failure));
}

VELLICK_UI_TEST_MAIN(FoundFileCommandsTest)
#include "tst_found_file_commands.moc"
