// The "regular expression" box of the search panel: a search with it, its refusal of an invalid
// expression, the match-mode combo it disables, and its place in the settings file.
#include "app/main_frame.h"
#include "app/search_panel.h"
#include "app/status_panes.h"
#include "support/temp_tree.h"
#include "support/ui_test_support.h"
#include "views/text_view.h"
#include "views/vellick_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

using namespace vellick;
using namespace vellick::test;

namespace {

int redPixels(QWidget& widget)
{
    const QImage image = widget.grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 200 && c.green() < 90 && c.blue() < 90 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

class RegexWindowTest : public QObject {
    Q_OBJECT

private slots:
    void expressionSearchListsFilesAndColoursHits();
    void invalidExpressionIsRefusedAndLosesNothing();
    void settingRoundTrips();
};

void RegexWindowTest::expressionSearchListsFilesAndColoursHits()
{
    ConfigHome home;
    TempTree tree;
    tree.write("a.c", "mutex_lock(&m);\nmutex_unlock(&m);\n");
    tree.write("b.c", "mutex_trylock(&m);\n");
    tree.write("c.c", "no locks\nMUTEX_LOCK\n");
    FrameFixture window;
    CSearchPanel& panel = window.panel();
    QCOMPARE(panel.regexBox()->text(), QStringLiteral("regular e&xpression"));
    QCOMPARE(panel.regexBox()->accessibleName(), QStringLiteral("regular expression"));
    window.setKeywords(QStringLiteral("mutex_(un)?lock |x"));
    idle();
    QVERIFY(panel.matchModeBox()->isEnabled()); // several words ...
    panel.regexBox()->click();
    idle();
    QVERIFY(!panel.matchModeBox()->isEnabled()); // ... but one expression

    window.setKeywords(QStringLiteral("mutex_(un)?lock\\b"));
    window.setFolder(qs(tree.root()));
    QVERIFY(window.search());
    QVERIFY(window.messages.isEmpty());
    QCOMPARE(window.foundPaths(), (std::vector<std::string> { tree.path("a.c"), tree.path("c.c") }));
    // The Hits column counts each file's hits.
    const QAbstractItemModel& rows = *window.list().model();
    QCOMPARE(rows.headerData(5, Qt::Horizontal).toString(), QStringLiteral("Hits"));
    QCOMPARE(rows.index(0, 5).data().toString(), QStringLiteral("2"));
    QCOMPARE(rows.index(1, 5).data().toString(), QStringLiteral("1"));
    // The first file's two hits, each on its own display line and drawn red.
    QTRY_COMPARE(window.frame().statusPanes().hitText(), QStringLiteral("key: 2"));
    QCOMPARE(window.frame().statusPanes().lineText(), QStringLiteral("line: 2"));
    QTRY_VERIFY(redPixels(window.textPane()) > 50);
    // The expression joins the recent keywords like any keyword text.
    QCOMPARE(panel.keywordsBox()->itemText(0), QStringLiteral("mutex_(un)?lock\\b"));
}

void RegexWindowTest::invalidExpressionIsRefusedAndLosesNothing()
{
    ConfigHome home;
    TempTree tree;
    tree.write("a.c", "mutex_lock(&m);\n");
    FrameFixture window;
    window.panel().regexBox()->setChecked(true);
    window.setKeywords(QStringLiteral("mutex_lock"));
    window.setFolder(qs(tree.root()));
    QVERIFY(window.search());
    QCOMPARE(window.doc().rowCount(), 1);
    const QString status = window.status();

    window.setKeywords(QStringLiteral("mutex_(lock"));
    QVERIFY(window.search());
    QCOMPARE(window.messages, QStringList { QStringLiteral("Invalid regular expression: missing ): mutex_(lock") });
    QCOMPARE(window.panel().keywordsBox()->currentText(), QStringLiteral("mutex_(lock"));
    QCOMPARE(window.doc().rowCount(), 1);
    QCOMPARE(window.status(), status);
}

void RegexWindowTest::settingRoundTrips()
{
    ConfigHome home;
    {
        FrameFixture window;
        QVERIFY(!window.panel().regexBox()->isChecked());
        window.panel().regexBox()->click();
        window.close();
    }
    QCOMPARE(home.value("regex"), QStringLiteral("1"));
    {
        FrameFixture window;
        QVERIFY(window.panel().regexBox()->isChecked());
        window.panel().regexBox()->click();
        window.close();
    }
    QCOMPARE(home.value("regex"), QStringLiteral("0"));
    home.write(QStringLiteral("[Settings]\nregex=3\n"));
    FrameFixture window;
    QVERIFY(!window.panel().regexBox()->isChecked());
}

VELLICK_UI_TEST_MAIN(RegexWindowTest)
#include "tst_regex_window.moc"
