// The text pane: the display lines of the current file with blue prefixes and red keywords, the counts it
// reports, the loader's messages, selecting by dragging, Copy and double click.
#include "results/display_options.h"
#include "support/cline_fields.h"
#include "support/temp_tree.h"
#include "support/ui_test_support.h"
#include "views/text_view.h"

#include <QClipboard>
#include <QImage>

using namespace vellick;
using namespace vellick::test;

namespace {

constexpr int kMargin = 4;
const std::string kFirstLine = "first\n";

struct PaneFixture {
    PaneFixture()
        : view(doc, host)
    {
        view.resize(700, 200);
        view.show();
    }

    // Lists a file with hits at the given offsets of `content` (each `length` bytes long) and makes it
    // current. The content comes after a first line of its own, so its lines start with their first word.
    void showFile(const std::string& content, std::initializer_list<uint64_t> offsets, uint32_t length)
    {
        const std::string text = kFirstLine + content;
        const std::string path = tree.write("file.txt", text);
        const int index = doc.addRecord(path, FileKind::Text);
        for (uint64_t offset : offsets) {
            offset += kFirstLine.size();
            const auto lines = static_cast<uint64_t>(std::count(text.begin(), text.begin() + offset, '\n'));
            doc.record(index).appendHit(testHit(lines, offset, length, 0));
        }
        doc.setCurrent(index);
        doc.updateAllViews(DocumentHint::CurrentChanged);
        paint();
    }

    void paint()
    {
        view.viewport()->repaint();
        QCoreApplication::processEvents();
    }

    int lineTop(int line) const { return kMargin + line * view.fontMetrics().height(); }
    int xAfter(const QString& text) const { return kMargin + view.fontMetrics().horizontalAdvance(text); }

    void drag(int line, int fromX, int toX)
    {
        const int y = lineTop(line) + 3;
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(fromX, y));
        QTest::mouseMove(view.viewport(), QPoint((fromX + toX) / 2, y));
        QTest::mouseMove(view.viewport(), QPoint(toX, y + 2 * view.fontMetrics().height()));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(toX, y));
    }

    int pixelsLike(bool (*matches)(QColor)) const
    {
        const QImage image = view.viewport()->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += matches(image.pixelColor(x, y)) ? 1 : 0;
        return count;
    }

    TempTree tree;
    CVellickDoc doc;
    FakeViewHost host;
    CTextView view;
};

bool isRed(QColor c)
{
    return c.red() > 200 && c.green() < 90 && c.blue() < 90;
}
bool isBlue(QColor c)
{
    return c.blue() > 200 && c.red() < 90 && c.green() < 90;
}

} // namespace

class TextViewTest : public QObject {
    Q_OBJECT

private slots:
    void init() { DisplayOptions::setShowLineNumbers(true); }
    void noCurrentFileShowsNothing();
    void countsDisplayLinesAndHits();
    void keywordsRedAndPrefixesBlue();
    void changedFileIsReportedOnce();
    void dragSelectsWithinOneLineAndCopies();
    void pressLeftOfTheTextAnchorsAtTheStart();
    void pressBelowTheLastLineStartsNothing();
    void doubleClickMakesTheSelectionTheKeywords();
    void newCurrentFileClearsTheSelection();
};

void TextViewTest::noCurrentFileShowsNothing()
{
    PaneFixture pane;
    pane.paint();
    QCOMPARE(pane.host.lineCount, 0);
    QCOMPARE(pane.host.hitCount, 0);
}

void TextViewTest::countsDisplayLinesAndHits()
{
    PaneFixture pane;
    // Two hits share the first line's context; the third is on a line of its own.
    pane.showFile("alpha beta alpha\nsecond line\nthird alpha\n", { 0, 11, 35 }, 5);
    QCOMPARE(pane.host.lineCount, 2);
    QCOMPARE(pane.host.hitCount, 3);
}

void TextViewTest::keywordsRedAndPrefixesBlue()
{
    PaneFixture pane;
    pane.showFile("one mutex here\n", { 4 }, 5);
    QVERIFY(pane.pixelsLike(isRed) > 0);
    QVERIFY(pane.pixelsLike(isBlue) > 0);
    DisplayOptions::setShowLineNumbers(false);
    pane.view.ClearSelection();
    pane.paint();
    QCOMPARE(pane.pixelsLike(isBlue), 0);
    QVERIFY(pane.pixelsLike(isRed) > 0);
}

void TextViewTest::changedFileIsReportedOnce()
{
    PaneFixture pane;
    const std::string path = pane.tree.write("file.txt", "a mutex\n");
    const int index = pane.doc.addRecord(path, FileKind::Text);
    pane.doc.record(index).appendHit(testHit(0, 2, 5, 0));
    pane.tree.setModified("file.txt", pane.doc.record(index).modified + 60);
    pane.doc.setCurrent(index);
    pane.paint();
    QTRY_COMPARE(pane.host.messages.size(), 1);
    QCOMPARE(pane.host.messages.front(),
        QStringLiteral("File \"%1\" has been modified since last searching.\n"
                       "Search results can not be shown. You may search it again.")
            .arg(QString::fromStdString(path)));
    pane.paint();
    QTest::qWait(20);
    QCOMPARE(pane.host.messages.size(), 1);
    QCOMPARE(pane.host.lineCount, 0);
    QCOMPARE(pane.host.hitCount, 1);
}

void TextViewTest::dragSelectsWithinOneLineAndCopies()
{
    PaneFixture pane;
    pane.showFile("the mutex lock\nnext mutex\n", { 4, 20 }, 5);
    QVERIFY(!pane.view.hasSelectedText());
    const QString prefix = QStringLiteral("line    2: ");
    // From between "the " and "mutex" to the middle of "mutex": the drag stays in the first line even when
    // the pointer wanders onto the second.
    pane.drag(0, pane.xAfter(prefix + QStringLiteral("the ")) + 1, pane.xAfter(prefix + QStringLiteral("the mu")) + 1);
    QCOMPARE(pane.view.selectedText(), QStringLiteral("mu"));
    // Past the end of the line: up to its last character, never the space after it.
    pane.drag(0, pane.xAfter(prefix + QStringLiteral("the ")) + 1, 650);
    QCOMPARE(pane.view.selectedText(), QStringLiteral("mutex lock"));
    QGuiApplication::clipboard()->clear();
    pane.view.copySelection();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("mutex lock"));
}

void TextViewTest::pressLeftOfTheTextAnchorsAtTheStart()
{
    PaneFixture pane;
    pane.showFile("the mutex lock\n", { 4 }, 5);
    pane.drag(0, 1, pane.xAfter(QStringLiteral("line    2: the")) + 1);
    QCOMPARE(pane.view.selectedText(), QStringLiteral("line    2: the"));
}

void TextViewTest::pressBelowTheLastLineStartsNothing()
{
    PaneFixture pane;
    pane.showFile("the mutex lock\n", { 4 }, 5);
    pane.drag(3, 1, 300);
    QVERIFY(!pane.view.hasSelectedText());
}

void TextViewTest::doubleClickMakesTheSelectionTheKeywords()
{
    PaneFixture pane;
    pane.showFile("the mutex lock\n", { 4 }, 5);
    const QString prefix = QStringLiteral("line    2: ");
    // The selection starts with a space; the keyword text does not.
    pane.drag(
        0, pane.xAfter(prefix + QStringLiteral("the")) + 1, pane.xAfter(prefix + QStringLiteral("the mutex")) + 1);
    QCOMPARE(pane.view.selectedText(), QStringLiteral(" mutex"));
    QTest::mouseDClick(pane.view.viewport(), Qt::LeftButton, {}, QPoint(50, pane.lineTop(0) + 3));
    QCOMPARE(pane.host.keywordText, QStringLiteral("mutex"));
}

void TextViewTest::newCurrentFileClearsTheSelection()
{
    PaneFixture pane;
    pane.showFile("the mutex lock\n", { 4 }, 5);
    pane.drag(0, 1, 300);
    QVERIFY(pane.view.hasSelectedText());
    pane.doc.updateAllViews(DocumentHint::CurrentChanged);
    QVERIFY(!pane.view.hasSelectedText());
}

VELLICK_UI_TEST_MAIN(TextViewTest)
#include "tst_text_view.moc"
