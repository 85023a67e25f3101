// The main window reacts to what the user does however they do it: Show Line Number toggled by a screen
// reader, the status texts read by one, a double click during a search, and the match mode kept when
// the keyword check refuses.
#include "app/search_controller.h"
#include "app/search_panel.h"
#include "app/status_panes.h"
#include "platform/launcher.h"
#include "platform/linux/freedesktop_trash.h"
#include "platform/linux/posix_file_copier.h"
#include "platform/linux/posix_file_renamer.h"
#include "results/display_options.h"
#include "support/private_xdg.h"
#include "support/ui_test_support.h"
#include "views/text_view.h"
#include "views/vellick_view.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

using namespace vellick;
using namespace vellick::test;

namespace {

class RecordingLauncher : public Launcher {
public:
    std::optional<std::string> associatedApplication(const std::string&) override { return "viewer.desktop"; }
    ShellResult openWithAssociation(const std::string& path) override
    {
        opened.push_back(path);
        return ShellResult::done();
    }
    ShellResult openWithProgram(const std::string&, const std::string&) override { return ShellResult::done(); }
    std::vector<std::string> opened;
};

QLabel* statusPaneShowing(CMainFrame& frame, const QString& text)
{
    for (QLabel* label : frame.statusBar()->findChildren<QLabel*>()) {
        if (label->text() == text)
            return label;
    }
    return nullptr;
}

} // namespace

class WindowReactionsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { DisplayOptions::setShowLineNumbers(true); }
    void showLineNumberFollowsTheButtonsState();
    void statusTextsReachScreenReaders();
    void doubleClickDuringASearchOpensTheCurrentFile();
    void matchModeIsKeptWhenTheKeywordsAreRefused();
};

void WindowReactionsTest::showLineNumberFollowsTheButtonsState()
{
    ConfigHome home;
    FrameFixture window;
    QAction* action = window.frame().commandAction(CommandId::ShowLineNumber);
    auto* button = qobject_cast<QToolButton*>(window.frame().findChild<QToolBar*>()->widgetForAction(action));
    QVERIFY(button && button->isChecked());
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    QVERIFY(accessible && accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    idle();
    QVERIFY(!DisplayOptions::showLineNumbers());
    QVERIFY(!button->isChecked());
    QVERIFY(!action->isChecked());
    action->trigger(); // the menu and the keyboard
    QVERIFY(DisplayOptions::showLineNumbers());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!DisplayOptions::showLineNumbers());
}

void WindowReactionsTest::statusTextsReachScreenReaders()
{
    ConfigHome home;
    TempTree tree;
    tree.write("a.txt", "alpha\n");
    FrameFixture window;
    window.setFolder(qs(tree.root()));
    window.setKeywords(QStringLiteral("alpha"));
    QVERIFY(window.search());
    QVERIFY(window.status().startsWith(QStringLiteral("1 file found")));
    QLabel* message = statusPaneShowing(window.frame(), window.status());
    QVERIFY(message);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(message);
    QCOMPARE(accessible->text(QAccessible::Name), window.status());
    QCOMPARE(accessible->text(QAccessible::Description), QStringLiteral("Message"));
    window.frame().setStatusText(QStringLiteral("Searching ..."));
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Searching ..."));
    window.textPane().viewport()->repaint();
    idle();
    QLabel* lines = statusPaneShowing(window.frame(), window.frame().statusPanes().lineText());
    QVERIFY(lines);
    QCOMPARE(QAccessible::queryAccessibleInterface(lines)->text(QAccessible::Name), lines->text());
}

void WindowReactionsTest::doubleClickDuringASearchOpensTheCurrentFile()
{
    ConfigHome home;
    PrivateXdg xdg;
    for (int i = 0; i < 3000; ++i)
        xdg.tree().write("files/f" + std::to_string(i) + ".txt", "alpha\n");
    FreedesktopTrash trash(xdg.dataHome());
    PosixFileRenamer renamer;
    PosixFileCopier copier;
    RecordingLauncher launcher;
    StayingPrinter printer;
    FrameFixture window;
    window.frame().setFileServices({ trash, renamer, copier, launcher, printer });
    window.setFolder(qs(xdg.tree().path("files")));
    window.setKeywords(QStringLiteral("alpha"));
    idle();
    QTest::mouseClick(window.panel().startButton(), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return window.doc().rowCount() > 0; }, 5000));
    QVERIFY(window.frame().search().inProgress());
    // The record that was current when the search began stays current: its row opens.
    const int record = window.doc().recordAtRow(0);
    window.doc().setCurrent(record);
    CVellickView& list = window.list();
    const QPoint row0 = list.visualRect(list.model()->index(0, 2)).center();
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, row0);
    QVERIFY(window.frame().search().inProgress());
    QCOMPARE(launcher.opened, std::vector<std::string> { window.doc().record(record).path });
    window.frame().commandAction(CommandId::Open)->trigger(); // the Open command waits for the search
    QCOMPARE(launcher.opened.size(), std::size_t(1));
    QVERIFY(window.waitForSearchEnd());
}

void WindowReactionsTest::matchModeIsKeptWhenTheKeywordsAreRefused()
{
    ConfigHome home;
    TempTree tree;
    {
        FrameFixture window;
        window.setFolder(qs(tree.root()));
        window.setKeywords(QStringLiteral("ab ?"));
        idle();
        window.panel().matchModeBox()->setCurrentIndex(1);
        QTest::mouseClick(window.panel().startButton(), Qt::LeftButton);
        QCOMPARE(window.messages.size(), 1);
        QVERIFY(!window.frame().search().inProgress());
        window.close();
    }
    QCOMPARE(home.value("allkeys"), QStringLiteral("1"));
}

VELLICK_UI_TEST_MAIN(WindowReactionsTest)
#include "tst_window_reactions.moc"
