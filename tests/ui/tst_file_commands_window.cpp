// The commands on found files and the settings dialogs as the window runs them: from its actions, on the
// rows of a real search, with the private Trash and the dialogs answered by a scripted runner.
#include "app/advanced_settings_dlg.h"
#include "app/main_frame.h"
#include "app/result_layouts.h"
#include "app/search_panel.h"
#include "platform/launcher.h"
#include "platform/linux/freedesktop_trash.h"
#include "platform/linux/posix_file_copier.h"
#include "platform/linux/posix_file_renamer.h"
#include "results/vellick_doc.h"
#include "support/private_xdg.h"
#include "support/scripted_runner.h"
#include "support/ui_test_support.h"
#include "views/result_item_delegate.h"
#include "views/result_list_model.h"
#include "views/vellick_view.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <sys/stat.h>

using namespace vellick;

namespace {

// Whether a name is being edited in the list.
bool editing(const CVellickView& list)
{
    const auto* editor = list.findChild<QLineEdit*>();
    return editor && editor->isVisible();
}

// Opening stays inside the test: no association.
class StayingLauncher : public Launcher {
public:
    std::optional<std::string> associatedApplication(const std::string&) override { return std::nullopt; }
    ShellResult openWithAssociation(const std::string&) override { return ShellResult::failed("unexpected"); }
    ShellResult openWithProgram(const std::string&, const std::string&) override { return ShellResult::done(); }
};

// A window over private XDG folders with four found files a.txt .. d.txt holding "alpha".
struct SearchedWindow {
    SearchedWindow()
    {
        for (const char* name : { "a.txt", "b.txt", "c.txt", "d.txt" })
            xdg.tree().write(std::string("files/") + name, "alpha\n");
        auto scripted = std::make_unique<test::ScriptedRunner>();
        runner = scripted.get();
        window.frame().setModalRunner(std::move(scripted));
        window.frame().setFileServices({ trash, renamer, copier, launcher, printer });
        window.setKeywords(QStringLiteral("alpha"));
        window.setFolder(QString::fromStdString(xdg.tree().path("files")));
    }
    std::string file(const char* name) const { return xdg.tree().path(std::string("files/") + name); }
    QString nameAt(int row) const { return window.list().model()->index(row, 0).data().toString(); }
    void trigger(CommandId id) { window.frame().commandAction(id)->trigger(); }

    test::PrivateXdg xdg;
    FreedesktopTrash trash;
    PosixFileRenamer renamer;
    PosixFileCopier copier;
    StayingLauncher launcher;
    test::StayingPrinter printer;
    mutable test::FrameFixture window;
    test::ScriptedRunner* runner = nullptr;
};

} // namespace

class FileCommandsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void deleteRemovesTheRowsAndSelectsTheNewCurrentFile();
    void renameInPlaceThroughTheList();
    void aClickOnTheBoxNeverStartsARename();
    void advancedSettingsTakeEffectAndAreSavedAtClose();
    void filesButtonPutsTheChosenPatternsIntoTheBox();
    void noCommandIsAPlaceholderAnyMore();
};

void FileCommandsWindowTest::deleteRemovesTheRowsAndSelectsTheNewCurrentFile()
{
    SearchedWindow w;
    QVERIFY(w.window.search());
    QCOMPARE(w.window.doc().rowCount(), 4);
    auto& model = w.window.list().resultModel();
    for (int row = 0; row < 4; ++row)
        QVERIFY2(!model.isChecked(row), qPrintable(QString::number(row)));
    model.toggleChecked(1);
    model.toggleChecked(3);
    QTest::mouseClick(
        w.window.list().viewport(), Qt::LeftButton, {}, w.window.list().visualRect(model.index(2, 2)).center());
    QCOMPARE(w.window.doc().current(), w.window.doc().recordAtRow(2));
    w.runner->then([](QDialog&) { return int(QMessageBox::Yes); });
    w.trigger(CommandId::Delete);

    QCOMPARE(w.runner->titles, QStringList { "Confirm file delete" });
    QCOMPARE(w.window.doc().rowCount(), 1);
    QCOMPARE(w.nameAt(0), QStringLiteral("a.txt"));
    for (const char* name : { "b.txt", "c.txt", "d.txt" }) {
        QVERIFY(!test::pathExists(w.file(name)));
        QVERIFY(test::pathExists(w.xdg.dataHome() + "/Trash/files/" + name));
    }
    QCOMPARE(w.window.doc().current(), w.window.doc().recordAtRow(0));
    for (const bool stacked : { false, true }) {
        CVellickView* list = w.window.frame().layouts().list(stacked);
        QCOMPARE(list->model()->rowCount(), 1);
        QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(list->selectionModel()->selectedRows().front().row(), 0);
    }
}

void FileCommandsWindowTest::renameInPlaceThroughTheList()
{
    SearchedWindow w;
    QVERIFY(w.window.search());
    w.trigger(CommandId::Rename);
    auto* editor = w.window.list().findChild<QLineEdit*>();
    QVERIFY(editor && editor->isVisible());
    QCOMPARE(editor->text(), QStringLiteral("a.txt"));
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("alpha notes.txt"));
    QTest::keyClick(editor, Qt::Key_Return);
    test::idle();
    QVERIFY(test::pathExists(w.xdg.tree().path("files/alpha notes.txt")));
    QVERIFY(!test::pathExists(w.file("a.txt")));
    QCOMPARE(w.nameAt(0), QStringLiteral("alpha notes.txt"));

    w.runner->then([](QDialog&) { return int(QMessageBox::Ok); });
    w.trigger(CommandId::Rename);
    editor = w.window.list().findChild<QLineEdit*>();
    QVERIFY(editor && editor->isVisible());
    editor->setText(QStringLiteral("a|b.txt"));
    QTest::keyClick(editor, Qt::Key_Return);
    test::idle();
    QCOMPARE(w.runner->titles, QStringList { "Rename" });
    QCOMPARE(w.nameAt(0), QStringLiteral("alpha notes.txt"));
}

void FileCommandsWindowTest::aClickOnTheBoxNeverStartsARename()
{
    SearchedWindow w;
    QVERIFY(w.window.search());
    CVellickView& list = w.window.list();
    const QRect nameCell = list.visualRect(list.model()->index(0, 0));
    const QPoint name(nameCell.right() - 10, nameCell.center().y());
    const QPoint box = ResultItemDelegate::checkBoxRect(nameCell).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, name); // the selected row's name: an edit begins
    QTRY_VERIFY(editing(list));
    QTest::keyClick(list.findChild<QLineEdit*>(), Qt::Key_Escape);
    QTRY_VERIFY(!editing(list));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box);
    QVERIFY(list.resultModel().isChecked(0));
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QVERIFY(!editing(list));

    // A double click on the selected name opens the file (here: asks for a program) and renames nothing.
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, name);
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    QCOMPARE(w.runner->titles, QStringList { "Open With ..." });
    QVERIFY(!editing(list));
}

void FileCommandsWindowTest::advancedSettingsTakeEffectAndAreSavedAtClose()
{
    SearchedWindow w;
    QCOMPARE(w.window.frame().searchSettings().maxKeys, 1024);
    w.runner->then([](QDialog& dialog) {
        dialog.findChild<QSlider*>(QStringLiteral("hitLimitSlider"))->setValue(200);
        return int(QDialog::Rejected);
    });
    w.trigger(CommandId::AdvancedSettings);
    QCOMPARE(w.window.frame().searchSettings().maxKeys, 1024);
    w.runner->then([](QDialog& dialog) {
        dialog.findChild<QSlider*>(QStringLiteral("hitLimitSlider"))->setValue(256);
        dialog.findChild<QCheckBox*>(QStringLiteral("includeHidden"))->setChecked(true);
        dialog.accept();
        return dialog.result();
    });
    w.trigger(CommandId::AdvancedSettings);
    QCOMPARE(w.runner->titles, QStringList({ "Advanced Settings", "Advanced Settings" }));
    QCOMPARE(w.window.frame().searchSettings().maxKeys, 256);
    QVERIFY(w.window.frame().searchSettings().includeHidden);
    const std::string ini = w.xdg.configHome() + "/vellick/vellick.ini";
    QVERIFY(test::readFile(ini).find("maxkeys=256") == std::string::npos); // not before the close
    w.window.close();
    QVERIFY(test::readFile(ini).find("maxkeys=256") != std::string::npos);
    QVERIFY(test::readFile(ini).find("searchhiden=1") != std::string::npos);
}

void FileCommandsWindowTest::filesButtonPutsTheChosenPatternsIntoTheBox()
{
    SearchedWindow w;
    w.xdg.tree().write("files/Notes.CSV", "x");
    QStringList files;
    w.runner->then([&](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("fileList"));
        for (int row = 0; row < list->count(); ++row)
            files.append(list->item(row)->text());
        list->setCurrentRow(0);
        dialog.findChild<QPushButton*>(QStringLiteral("selectFileButton"))->click();
        dialog.findChild<QListWidget*>(QStringLiteral("typeList"))->setCurrentRow(1); // *.csv
        dialog.findChild<QPushButton*>(QStringLiteral("selectTypeButton"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        return dialog.result();
    });
    w.window.panel().filesButton()->click();
    QCOMPARE(files, QStringList({ "a.txt", "b.txt", "c.txt", "d.txt", "notes.csv" }));
    QCOMPARE(w.window.panel().patternsBox()->currentText(), QStringLiteral("*.csv,a.txt,"));

    w.runner->then([](QDialog& dialog) { return int(dialog.result()); }); // OK with nothing chosen
    w.window.panel().filesButton()->click();
    QCOMPARE(w.window.panel().patternsBox()->currentText(), QStringLiteral("*.csv,a.txt,"));

    // With several folders in the box, the first one is listed.
    w.window.setFolder(QString::fromStdString(w.file("") + " ; " + w.xdg.tree().path("")));
    files.clear();
    w.runner->then([&](QDialog& dialog) {
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("fileList"));
        for (int row = 0; row < list->count(); ++row)
            files.append(list->item(row)->text());
        return int(QDialog::Rejected);
    });
    w.window.panel().filesButton()->click();
    QVERIFY(w.window.messages.isEmpty());
    QCOMPARE(files, QStringList({ "a.txt", "b.txt", "c.txt", "d.txt", "notes.csv" }));
}

void FileCommandsWindowTest::noCommandIsAPlaceholderAnyMore()
{
    SearchedWindow w;
    QVERIFY(w.window.search());
    for (const CommandId id : { CommandId::Open, CommandId::OpenWith, CommandId::CopyTo, CommandId::Delete,
             CommandId::PrintResult, CommandId::PrintPreview, CommandId::SaveReport }) {
        w.trigger(id); // every dialog is cancelled by the runner
        QVERIFY2(!w.window.status().contains(QStringLiteral("not available")), qPrintable(w.window.status()));
    }
    QCOMPARE(w.runner->titles,
        QStringList({ "Open With ...", "Open With ...", "Copy a.txt to", "Confirm file delete", "Print search result",
            "Print search result", "Save search result to file" }));
    QCOMPARE(w.window.doc().rowCount(), 4);
}

VELLICK_UI_TEST_MAIN(FileCommandsWindowTest)
#include "tst_file_commands_window.moc"
