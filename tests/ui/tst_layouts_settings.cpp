// The two layouts and the settings file: first-run defaults, the layout switch, and what a close writes
// and the next start reads back.
#include "app/result_layouts.h"
#include "app/search_panel.h"
#include "support/scripted_runner.h"
#include "support/temp_tree.h"
#include "support/ui_test_support.h"
#include "views/text_view.h"
#include "views/vellick_view.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>

using namespace vellick;
using namespace vellick::test;

namespace {
// The scope controls of Advanced Settings as texts ("1"/"0" for a check box), read when `value` is null,
// else set to it. The dialog is run through the window's modal runner.
const QStringList kScopeControls { "excludedFolders", "minSize", "maxSize", "modifiedAfter", "modifiedBefore",
    "binaryFiles", "gitignore", "filesWithoutHits", "documents" };

QStringList runScopeDialog(FrameFixture& window, const QString& control = {}, const QString& value = {})
{
    QStringList shown;
    auto runner = std::make_unique<test::ScriptedRunner>();
    runner->then([&](QDialog& dialog) {
        for (const QString& name : kScopeControls) {
            auto* line = dialog.findChild<QLineEdit*>(name);
            auto* box = dialog.findChild<QCheckBox*>(name);
            if (name == control && line)
                line->setText(value);
            else if (name == control)
                box->setChecked(value == QStringLiteral("1"));
            shown << (line ? line->text() : box->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
        }
        dialog.accept();
        return dialog.result();
    });
    window.frame().setModalRunner(std::move(runner));
    window.frame().commandAction(CommandId::AdvancedSettings)->trigger();
    return shown;
}

const QStringList kDefaultScope { "", "", "", "", "", "1", "0", "0", "0" };

// 100, 100, 50, 50 and 100 pixels for a font whose average character is 6 pixels wide, widened alike.
CVellickView::Widths sideBySideDefaults(const CVellickView& list)
{
    const int charWidth = list.typicalCharWidth();
    CVellickView::Widths widths { 100, 100, 50, 50, 100, 50 };
    for (int& width : widths)
        width = width * charWidth / 6;
    return widths;
}
} // namespace

class LayoutsSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void firstRunUsesTheDefaults();
    void defaultColumnWidthsFollowTheListFont();
    void closeWritesWindowPlaceAndOptions();
    void closeAndReopenRestoresEverything();
    void layoutSwitchKeepsEachLayoutsViewsAndSizes();
    void columnWidthsAreKeptPerLayout();
    void storedValuesAreClampedAndRecentListsStopAtAGap();
    void scopeSettingsAreSavedAndRestored_data();
    void scopeSettingsAreSavedAndRestored();
    void hostileScopeValuesLoadAsTheDefaults();
};

void LayoutsSettingsTest::firstRunUsesTheDefaults()
{
    ConfigHome home;
    FrameFixture window;
    CMainFrame& frame = window.frame();
    QCOMPARE(frame.pos(), QPoint(24, 18));
    QCOMPARE(frame.size(), QSize(728, 546));
    QVERIFY(!frame.layouts().stackedShown());
    // The side-by-side list takes half the width; its columns have their fixed default widths.
    const auto* splitter = qobject_cast<QSplitter*>(frame.layouts().currentWidget());
    QVERIFY(splitter);
    QCOMPARE(splitter->sizes().value(0), frame.width() / 2);
    QCOMPARE(window.list().columnWidths(), sideBySideDefaults(window.list()));
    // The stacked list's defaults are fractions of its outer width.
    CVellickView* stacked = frame.layouts().list(true);
    const CVellickView::Widths stackedWidths = stacked->columnWidths();
    frame.layouts().showLayout(true);
    test::idle();
    const int w = stacked->width();
    QCOMPARE(stackedWidths, (CVellickView::Widths { w / 4, w / 4, w / 8, w / 8, w / 4, w / 8 }));
    frame.layouts().showLayout(false);

    CSearchPanel& panel = window.panel();
    QCOMPARE(panel.keywordsBox()->currentText(), QString());
    QCOMPARE(panel.patternsBox()->currentText(), QStringLiteral("*.*"));
    QCOMPARE(panel.folderBox()->currentText(), QDir::currentPath());
    QCOMPARE(panel.matchModeBox()->currentText(), QStringLiteral("match all words"));
    for (QCheckBox* box : { panel.matchCaseBox(), panel.wholeWordBox(), panel.unicodeBox(), panel.subFoldersBox(),
             panel.listedBelowBox() })
        QVERIFY2(!box->isChecked(), qPrintable(box->text()));
    QVERIFY(!panel.listedBelowBox()->isEnabled());
    QVERIFY(!panel.matchModeBox()->isEnabled());
    QVERIFY(!panel.startButton()->isEnabled());
}

void LayoutsSettingsTest::defaultColumnWidthsFollowTheListFont()
{
    ConfigHome home;
    struct FontGuard {
        QFont before = QApplication::font();
        ~FontGuard() { QApplication::setFont(before); }
    } guard;
    QFont wide = guard.before;
    wide.setPixelSize(18);
    QApplication::setFont(wide);
    FrameFixture window;
    QVERIFY(window.list().fontMetrics().averageCharWidth() > 6);
    QCOMPARE(window.list().columnWidths(), sideBySideDefaults(window.list()));
}

void LayoutsSettingsTest::closeWritesWindowPlaceAndOptions()
{
    ConfigHome home;
    int charWidth = 0;
    {
        FrameFixture window;
        charWidth = window.list().typicalCharWidth();
        window.panel().matchCaseBox()->setChecked(true);
        window.panel().subFoldersBox()->click();
        window.close();
    }
    QCOMPARE(home.value("wleft"), QStringLiteral("24"));
    QCOMPARE(home.value("wtop"), QStringLiteral("18"));
    QCOMPARE(home.value("wwidth"), QStringLiteral("728"));
    QCOMPARE(home.value("wheight"), QStringLiteral("546"));
    QCOMPARE(home.value("horizon"), QStringLiteral("0"));
    QCOMPARE(home.value("matchcase"), QStringLiteral("1"));
    QCOMPARE(home.value("matchword"), QStringLiteral("0"));
    QCOMPARE(home.value("dosubdir"), QStringLiteral("1"));
    QCOMPARE(home.value("maxkeys"), QStringLiteral("1024"));
    QCOMPARE(home.value("vcol1"), QString::number(100 * charWidth / 6));
    QCOMPARE(home.value("hcol1"), QString::number(728 / 4));
}

void LayoutsSettingsTest::closeAndReopenRestoresEverything()
{
    ConfigHome home;
    test::TempTree tree;
    tree.write("notes.txt", "a mutex here\n");
    int listWidth = 0;
    {
        FrameFixture window;
        window.frame().move(40, 30);
        window.frame().resize(760, 500);
        window.setKeywords(QStringLiteral("mutex"));
        window.setFolder(QString::fromStdString(tree.root()));
        QVERIFY(window.search());
        window.panel().wholeWordBox()->setChecked(true);
        window.frame().commandAction(CommandId::SwitchLayout)->trigger();
        listWidth = window.frame().layouts().paneSizes().listWidth;
        window.close();
    }
    FrameFixture window;
    QCOMPARE(window.frame().pos(), QPoint(40, 30));
    QCOMPARE(window.frame().size(), QSize(760, 500));
    QVERIFY(window.frame().layouts().stackedShown());
    QCOMPARE(window.frame().layouts().paneSizes().listWidth, listWidth);
    QCOMPARE(window.panel().keywordsBox()->currentText(), QStringLiteral("mutex"));
    QCOMPARE(window.panel().keywordsBox()->itemText(0), QStringLiteral("mutex"));
    QCOMPARE(window.panel().folderBox()->currentText(), QString::fromStdString(tree.root()));
    QVERIFY(window.panel().wholeWordBox()->isChecked());
}

void LayoutsSettingsTest::layoutSwitchKeepsEachLayoutsViewsAndSizes()
{
    ConfigHome home;
    FrameFixture window;
    ResultLayouts& layouts = window.frame().layouts();
    QAction* switchLayout = window.frame().commandAction(CommandId::SwitchLayout);
    CVellickView* sideList = layouts.shownList();
    auto* side = qobject_cast<QSplitter*>(layouts.currentWidget());
    side->setSizes({ 250, side->width() - 250 - side->handleWidth() });

    switchLayout->trigger();
    idle();
    QVERIFY(layouts.stackedShown());
    QVERIFY(layouts.shownList() != sideList);
    QVERIFY(layouts.shownList()->isVisible());
    QVERIFY(!sideList->isVisible());
    QVERIFY(layouts.shownTextPane()->isVisible());

    switchLayout->trigger();
    idle();
    QVERIFY(!layouts.stackedShown());
    QCOMPARE(layouts.shownList(), sideList);
    QCOMPARE(layouts.paneSizes().listWidth, 250);
}

void LayoutsSettingsTest::columnWidthsAreKeptPerLayout()
{
    ConfigHome home;
    {
        FrameFixture window;
        window.frame().layouts().list(false)->setColumnWidth(0, 111);
        window.frame().layouts().list(true)->setColumnWidth(2, 77);
        window.frame().layouts().list(false)->setColumnWidth(5, 66);
        window.frame().layouts().list(true)->setColumnWidth(5, 55);
        window.close();
    }
    QCOMPARE(home.value("vcol1"), QStringLiteral("111"));
    QCOMPARE(home.value("hcol3"), QStringLiteral("77"));
    QCOMPARE(home.value("vcol6"), QStringLiteral("66"));
    QCOMPARE(home.value("hcol6"), QStringLiteral("55"));
    {
        FrameFixture window;
        QCOMPARE(window.frame().layouts().list(false)->columnWidth(0), 111);
        QCOMPARE(window.frame().layouts().list(true)->columnWidth(2), 77);
        QCOMPARE(window.frame().layouts().list(false)->columnWidth(5), 66);
        QCOMPARE(window.frame().layouts().list(true)->columnWidth(5), 55);
        QCOMPARE(window.frame().layouts().list(true)->columnWidth(0), 728 / 4);
    }
    // A settings file from before the Hits column: its five widths stand, the Hits column takes its default.
    home.write(QStringLiteral("[Settings]\nvcol1=90\nvcol2=91\nvcol3=92\nvcol4=93\nvcol5=94\n"));
    FrameFixture window;
    CVellickView& list = *window.frame().layouts().list(false);
    QCOMPARE(list.columnWidths(), (CVellickView::Widths { 90, 91, 92, 93, 94, sideBySideDefaults(list)[5] }));
}

void LayoutsSettingsTest::storedValuesAreClampedAndRecentListsStopAtAGap()
{
    ConfigHome home;
    home.write(QStringLiteral("[Settings]\nallkeys=7\nmaxkeys=0\nkeys1=alpha\nkeys2=\nkeys3=gamma\nfile1=\n"
                              "directory1=/no/such/folder\nhorizon=1\n"));
    FrameFixture window;
    CSearchPanel& panel = window.panel();
    QCOMPARE(panel.matchModeBox()->currentText(), QStringLiteral("match whole phrase"));
    QCOMPARE(panel.keywordsBox()->count(), 1);
    QCOMPARE(panel.keywordsBox()->currentText(), QStringLiteral("alpha"));
    QCOMPARE(panel.patternsBox()->currentText(), QStringLiteral("*.*"));
    QCOMPARE(panel.folderBox()->currentText(), QStringLiteral("/no/such/folder"));
    QVERIFY(window.frame().layouts().stackedShown());
    window.close();
    QCOMPARE(home.value("maxkeys"), QStringLiteral("1"));
    QCOMPARE(home.value("allkeys"), QStringLiteral("2"));
    QCOMPARE(home.value("keys3"), QStringLiteral("gamma"));
}

void LayoutsSettingsTest::scopeSettingsAreSavedAndRestored_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("key");
    QTest::newRow("excluded folders") << "excludedFolders"
                                      << "build; node_modules"
                                      << "excludedirs";
    QTest::newRow("smallest size") << "minSize"
                                   << "64K"
                                   << "minsize";
    QTest::newRow("largest size") << "maxSize"
                                  << "2MB"
                                  << "maxsize";
    QTest::newRow("modified after") << "modifiedAfter"
                                    << "7d"
                                    << "modafter";
    QTest::newRow("modified before") << "modifiedBefore"
                                     << "2026-01-31"
                                     << "modbefore";
    QTest::newRow("binary files") << "binaryFiles"
                                  << "0"
                                  << "binary";
    QTest::newRow("gitignore") << "gitignore"
                               << "1"
                               << "gitignore";
    QTest::newRow("files without hits") << "filesWithoutHits"
                                        << "1"
                                        << "inverse";
    QTest::newRow("documents") << "documents"
                               << "1"
                               << "documents";
}

// Each scope setting made in Advanced Settings reaches the file at close and the dialog of the next run.
void LayoutsSettingsTest::scopeSettingsAreSavedAndRestored()
{
    QFETCH(QString, control);
    QFETCH(QString, value);
    QFETCH(QString, key);
    ConfigHome home;
    {
        FrameFixture window;
        runScopeDialog(window, control, value);
        window.close();
    }
    QCOMPARE(home.value(key), value);
    FrameFixture window;
    QStringList expected = kDefaultScope;
    expected[kScopeControls.indexOf(control)] = value;
    QCOMPARE(runScopeDialog(window), expected);
}

// Values the window could not have written load as the defaults.
void LayoutsSettingsTest::hostileScopeValuesLoadAsTheDefaults()
{
    ConfigHome home;
    home.write(QStringLiteral("[Settings]\nexcludedirs=a\x01b\nminsize=lots\nmaxsize=-1\nmodafter=2026-02-30\n"
                              "modbefore=soon\nbinary=7\ngitignore=yes\ninverse=2\ndocuments=-1\n"));
    FrameFixture window;
    QCOMPARE(runScopeDialog(window), kDefaultScope);
}

VELLICK_UI_TEST_MAIN(LayoutsSettingsTest)
#include "tst_layouts_settings.moc"
