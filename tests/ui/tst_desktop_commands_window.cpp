// The commands that hand found files to the desktop, as the window runs them on the rows of a real
// search: the file manager is a small service on the test's own session bus (the test runs under
// dbus-run-session), the editor a script that records its arguments.
#include "app/advanced_settings_dlg.h"
#include "app/main_frame.h"
#include "app/result_layouts.h"
#include "app/search_panel.h"
#include "platform/file_uri.h"
#include "platform/launcher.h"
#include "platform/linux/desktop/freedesktop_file_manager.h"
#include "platform/linux/freedesktop_trash.h"
#include "platform/linux/posix_file_copier.h"
#include "platform/linux/posix_file_renamer.h"
#include "platform/linux/xdg_editor_launcher.h"
#include "results/vellick_doc.h"
#include "support/private_xdg.h"
#include "support/scripted_runner.h"
#include "support/ui_test_support.h"
#include "views/result_list_model.h"
#include "views/text_view.h"
#include "views/vellick_view.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <sys/stat.h>

using namespace vellick;

namespace {

// org.freedesktop.FileManager1 as a file manager offers it; only ShowItems is asked for.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shownUris;

public slots:
    Q_SCRIPTABLE void ShowItems(const QStringList& uris, const QString& /*startupId*/) { shownUris += uris; }
};

// The folder opener behind the file manager, recorded instead of started.
class RecordingLauncher : public Launcher {
public:
    std::optional<std::string> associatedApplication(const std::string&) override { return std::nullopt; }
    ShellResult openWithAssociation(const std::string& path) override
    {
        opened.push_back(path);
        return failing ? ShellResult::failed("xdg-open is missing") : ShellResult::done();
    }
    ShellResult openWithProgram(const std::string&, const std::string&) override { return ShellResult::done(); }

    std::vector<std::string> opened;
    bool failing = false;
};

constexpr const char* kOddName = "it's \"quoted\" notes.txt";
constexpr const char* kLatin1Name = "caf\xE9.txt"; // not valid UTF-8

// A window over private XDG folders with files holding "alpha": a.txt, b.txt, the odd name (alpha on its
// third line) and a name that is not UTF-8.
struct DesktopWindow {
    DesktopWindow()
        : fileManager(launcher)
    {
        xdg.tree().write("files/a.txt", "alpha\n");
        xdg.tree().write("files/b.txt", "alpha\n");
        xdg.tree().write(std::string("files/") + kOddName, "one\ntwo\nalpha three\n");
        xdg.tree().write(std::string("files/") + kLatin1Name, "alpha\n");
        auto scripted = std::make_unique<test::ScriptedRunner>();
        runner = scripted.get();
        window.frame().setModalRunner(std::move(scripted));
        window.frame().setFileServices({ trash, renamer, copier, launcher, printer });
        window.frame().setDesktopServices({ fileManager, editor });
        window.setKeywords(QStringLiteral("alpha"));
        window.setFolder(QString::fromStdString(xdg.tree().path("files")));
    }
    std::string file(const std::string& name) const { return xdg.tree().path("files/" + name); }
    int rowOf(const std::string& name) { return window.doc().rowOfRecord(recordOf(name)); }
    int recordOf(const std::string& name)
    {
        for (int index = 0; index < window.doc().recordCount(); ++index) {
            if (window.doc().record(index).path == file(name))
                return index;
        }
        return -1;
    }
    void trigger(CommandId id) { window.frame().commandAction(id)->trigger(); }

    test::PrivateXdg xdg;
    FreedesktopTrash trash;
    PosixFileRenamer renamer;
    PosixFileCopier copier;
    RecordingLauncher launcher;
    test::StayingPrinter printer;
    FreedesktopFileManager fileManager;
    XdgEditorLauncher editor;
    test::FrameFixture window;
    test::ScriptedRunner* runner = nullptr;
};

// Chooses an entry of the context menu that is about to open, once it is shown.
void chooseFromNextMenu(const QString& text)
{
    QTimer::singleShot(50, [text] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                menu->close();
                action->trigger();
                return;
            }
        }
        menu->close();
    });
}

} // namespace

class DesktopCommandsWindowTest : public QObject {
    Q_OBJECT
private slots:
    void openContainingFolderAsksTheFileManagerThenFallsBack();
    void copyPathAndNameFillTheClipboardAsTextAndUris();
    void removeFromListKeepsTheFilesAndTheRowsStayGone();
    void openAtLineStartsTheEditorWithLineAndPath();
    void aDroppedFolderOrFileFillsTheFolderBox();
    void spaceTicksTheRowAndTheCellSaysSo();
};

void DesktopCommandsWindowTest::openContainingFolderAsksTheFileManagerThenFallsBack()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        QSKIP("needs a private session bus: run under dbus-run-session");
    DesktopWindow w;
    QVERIFY(w.window.search());
    QDBusConnection service = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fm"));
    FakeFileManager fake;
    QVERIFY(service.registerObject(
        QStringLiteral("/org/freedesktop/FileManager1"), &fake, QDBusConnection::ExportScriptableSlots));
    QVERIFY(service.registerService(QStringLiteral("org.freedesktop.FileManager1")));

    const int odd = w.rowOf(kOddName);
    w.window.selectRow(odd);
    w.window.list().setFocus();
    QTest::keyClick(&w.window.list(), Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    const QString uri = QString::fromStdString(fileUri(w.file(kOddName)));
    QVERIFY(uri.contains(QStringLiteral("it%27s%20%22quoted%22%20notes.txt")));
    QTRY_COMPARE(fake.shownUris, QStringList { uri });
    QTRY_COMPARE(w.window.status(), QStringLiteral(" "));
    QVERIFY(w.launcher.opened.empty());

    // No file manager on the bus: the folder opens with its default application; failing that, the
    // status bar says why.
    QVERIFY(service.unregisterService(QStringLiteral("org.freedesktop.FileManager1")));
    w.trigger(CommandId::OpenContainingFolder);
    QTRY_COMPARE(w.launcher.opened, std::vector<std::string> { w.xdg.tree().path("files") });
    w.launcher.failing = true;
    w.trigger(CommandId::OpenContainingFolder);
    QTRY_VERIFY(w.window.status().startsWith(QStringLiteral("No file manager answered")));
    QVERIFY(w.window.status().contains(QStringLiteral("xdg-open is missing")));
    QCOMPARE(fake.shownUris.size(), 1);
    QDBusConnection::disconnectFromBus(QStringLiteral("fm"));
}

void DesktopCommandsWindowTest::copyPathAndNameFillTheClipboardAsTextAndUris()
{
    DesktopWindow w;
    QVERIFY(w.window.search());
    auto& model = w.window.list().resultModel();
    const int latin1 = w.rowOf(kLatin1Name);
    const int odd = w.rowOf(kOddName);
    model.toggleChecked(latin1);
    w.window.selectRow(odd);
    w.window.list().setFocus();
    QTest::keyClick(&w.window.list(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);

    // Display order: the checked row and the current one.
    const std::vector<std::string> taken = latin1 < odd
        ? std::vector<std::string> { w.file(kLatin1Name), w.file(kOddName) }
        : std::vector<std::string> { w.file(kOddName), w.file(kLatin1Name) };
    QByteArray uris;
    QStringList shown;
    for (const std::string& path : taken) {
        uris += QByteArray::fromStdString(fileUri(path)) + "\r\n";
        shown += QString::fromLocal8Bit(QByteArray::fromStdString(path));
    }
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data);
    QCOMPARE(data->text(), shown.join(QLatin1Char('\n')));
    QCOMPARE(data->data(QStringLiteral("text/uri-list")), uris);
    QVERIFY(uris.contains("caf%E9.txt")); // the name's own byte
    QVERIFY(data->data(QStringLiteral("x-special/gnome-copied-files")).startsWith("copy\nfile:///"));
    QCOMPARE(w.window.status(), QStringLiteral("Copied 2 paths."));

    w.trigger(CommandId::CopyName);
    data = QGuiApplication::clipboard()->mimeData();
    const QString oddName = QString::fromUtf8(kOddName);
    QVERIFY(data->text().split(QLatin1Char('\n')).contains(oddName));
    QCOMPARE(data->text().split(QLatin1Char('\n')).size(), 2);
    QCOMPARE(data->data(QStringLiteral("text/uri-list")), uris);

    // Dragging the rows out carries the same files.
    std::unique_ptr<QMimeData> dragged(model.mimeData({ model.index(odd, 0), model.index(odd, 3) }));
    QVERIFY(dragged);
    QCOMPARE(dragged->data(QStringLiteral("text/uri-list")), uris);
    QVERIFY(model.supportedDragActions() & Qt::CopyAction);
    QVERIFY(!(model.supportedDragActions() & Qt::MoveAction));
}

void DesktopCommandsWindowTest::removeFromListKeepsTheFilesAndTheRowsStayGone()
{
    DesktopWindow w;
    QVERIFY(w.window.search());
    QCOMPARE(w.window.doc().rowCount(), 4);
    w.window.list().resultModel().toggleChecked(w.rowOf("a.txt"));
    w.window.selectRow(w.rowOf("b.txt"));
    w.window.list().setFocus();
    QTest::keyClick(&w.window.list(), Qt::Key_Delete);

    QCOMPARE(w.window.status(), QStringLiteral("2 files removed from the list."));
    QVERIFY(test::pathExists(w.file("a.txt")) && test::pathExists(w.file("b.txt")));
    QCOMPARE(w.runner->titles, QStringList {}); // no question: nothing happens to the files
    QCOMPARE(w.recordOf("a.txt") >= 0 && w.rowOf("a.txt") < 0 && w.rowOf("b.txt") < 0, true);
    for (const bool stacked : { false, true }) {
        CVellickView* list = w.window.frame().layouts().list(stacked);
        QCOMPARE(list->model()->rowCount(), 2);
        QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
    }
    QVERIFY(w.window.doc().current() >= 0);

    // Through a layout switch and sorting both ways the rows stay gone.
    w.trigger(CommandId::SwitchLayout);
    QTest::mouseClick(w.window.list().horizontalHeader()->viewport(), Qt::LeftButton, {},
        QPoint(w.window.list().columnViewportPosition(0) + 5, 5));
    QTest::mouseClick(w.window.list().horizontalHeader()->viewport(), Qt::LeftButton, {},
        QPoint(w.window.list().columnViewportPosition(0) + 5, 5));
    QCOMPARE(w.window.list().model()->rowCount(), 2);
    QCOMPARE(w.rowOf("a.txt"), -1);

    // Reports list only the rows left.
    w.window.frame().commandAction(CommandId::CheckAll)->trigger();
    w.runner->then([](QDialog&) { return int(QDialog::Accepted); });
    w.trigger(CommandId::PrintResult);
    const std::string report = test::readFile(w.xdg.cacheHome() + "/vellick/printresult.wri");
    QVERIFY(report.find(kOddName) != std::string::npos);
    QVERIFY(report.find("a.txt") == std::string::npos && report.find("b.txt") == std::string::npos);

    // "search files listed below" re-checks only the rows left.
    w.window.panel().listedBelowBox()->setChecked(true);
    QVERIFY(w.window.search());
    std::vector<std::string> found = w.window.foundPaths();
    std::sort(found.begin(), found.end());
    std::vector<std::string> expected { w.file(kLatin1Name), w.file(kOddName) };
    std::sort(expected.begin(), expected.end());
    QCOMPARE(found, expected);

    // Shift+Delete is the Trash's key; answering No keeps everything.
    w.window.list().setFocus();
    w.runner->then([](QDialog&) { return int(QMessageBox::No); });
    QTest::keyClick(&w.window.list(), Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(w.runner->titles.last(), QStringLiteral("Confirm file delete"));
    QCOMPARE(w.window.doc().rowCount(), 2);
}

void DesktopCommandsWindowTest::openAtLineStartsTheEditorWithLineAndPath()
{
    DesktopWindow w;
    const std::string record = w.xdg.tree().path("editor args");
    const std::string script = w.xdg.tree().write("tools dir/record editor",
        "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > " + test::shellQuoted(record) + ".tmp\nmv "
            + test::shellQuoted(record + ".tmp") + " " + test::shellQuoted(record) + "\n");
    QCOMPARE(::chmod(script.c_str(), 0755), 0);
    QVERIFY(w.window.search());

    // The command is set in Advanced Settings; the path has blanks, so it is quoted.
    const QString command = QStringLiteral("\"%1\" +%l %f").arg(QString::fromStdString(script));
    w.runner->then([command](QDialog& dialog) {
        auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("editorCommand"));
        if (!box || box->text().isEmpty())
            return int(QDialog::Rejected); // the detected command is always shown
        box->setText(command);
        dialog.accept();
        return dialog.result();
    });
    w.trigger(CommandId::AdvancedSettings);
    QVERIFY(w.runner->done());

    w.window.selectRow(w.rowOf(kOddName));
    w.window.list().setFocus();
    QTest::keyClick(&w.window.list(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(test::waitForFile(record, 10), "+3\n" + w.file(kOddName) + "\n");
    ::unlink(record.c_str());

    // From the text pane: a right click on the display line of the hit.
    CTextView& pane = w.window.textPane();
    pane.viewport()->repaint();
    chooseFromNextMenu(QStringLiteral("Open at &Line"));
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 8), pane.viewport()->mapToGlobal(QPoint(20, 8)));
    QApplication::sendEvent(pane.viewport(), &click);
    QCOMPARE(test::waitForFile(record, 10), "+3\n" + w.file(kOddName) + "\n");

    // The command is kept in the settings file at close.
    w.window.close();
    QVERIFY(test::readFile(w.xdg.configHome() + "/vellick/vellick.ini").find("editorcommand=") != std::string::npos);
}

void DesktopCommandsWindowTest::aDroppedFolderOrFileFillsTheFolderBox()
{
    DesktopWindow w;
    QComboBox* folderBox = w.window.panel().folderBox();
    const auto drop = [&w](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint centre = w.window.frame().rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&w.window.frame(), &enter);
        QDropEvent dropped(centre, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&w.window.frame(), &dropped);
        return enter.isAccepted();
    };
    const std::string folder = w.xdg.tree().makeFolder("drop here");
    QVERIFY(drop({ QUrl::fromLocalFile(QString::fromStdString(folder)) }));
    QCOMPARE(folderBox->currentText(), QString::fromStdString(folder));
    // A file: its folder. Something not on this machine is refused.
    QVERIFY(drop({ QUrl(QStringLiteral("https://example.org/x")),
        QUrl::fromLocalFile(QString::fromStdString(w.file("a.txt"))) }));
    QCOMPARE(folderBox->currentText(), QString::fromStdString(w.xdg.tree().path("files")));
    QVERIFY(!drop({ QUrl(QStringLiteral("https://example.org/x")) }));
    QCOMPARE(folderBox->currentText(), QString::fromStdString(w.xdg.tree().path("files")));
    // The keyword box takes dropped text itself.
    QVERIFY(w.window.panel().keywordsBox()->lineEdit()->acceptDrops());
    QVERIFY(!folderBox->lineEdit()->acceptDrops());
}

void DesktopCommandsWindowTest::spaceTicksTheRowAndTheCellSaysSo()
{
    DesktopWindow w;
    QVERIFY(w.window.search());
    CVellickView& list = w.window.list();
    w.window.selectRow(1);
    list.setFocus();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&list);
    QVERIFY(table && table->tableInterface());
    const auto cell = [table] { return table->tableInterface()->cellAt(1, 0); };
    QVERIFY(cell()->state().checkable);
    QVERIFY(!cell()->state().checked);
    QCOMPARE(cell()->text(QAccessible::Description), QStringLiteral("unchecked"));

    QTest::keyClick(&list, Qt::Key_Space);
    QVERIFY(list.resultModel().isChecked(1));
    QVERIFY(!list.resultModel().isChecked(0));
    QVERIFY(cell()->state().checked);
    QCOMPARE(cell()->text(QAccessible::Description), QStringLiteral("checked"));
    QCOMPARE(w.window.doc().current(), w.window.doc().recordAtRow(1)); // the row stays the current one
    QTest::keyClick(&list, Qt::Key_Space);
    QVERIFY(!list.resultModel().isChecked(1));
}

VELLICK_UI_TEST_MAIN(DesktopCommandsWindowTest)
#include "tst_desktop_commands_window.moc"
