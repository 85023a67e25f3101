// The result list: its column texts, the check boxes, selection making a file current, ordering by a
// column heading with marks and selection following their files, the context menu and double click.
#include "support/cline_fields.h"
#include "support/ui_test_support.h"
#include "views/file_icon_list.h"
#include "views/result_item_delegate.h"
#include "views/result_list_model.h"
#include "views/vellick_view.h"

#include <QHeaderView>
#include <cstdlib>
#include <ctime>

using namespace vellick;
using namespace vellick::test;

namespace {

struct ListFixture {
    ListFixture()
        : model(doc, icons)
        , view(model, host, false)
    {
        view.resize(640, 300);
        view.setColumnWidths({ 150, 150, 80, 80, 150, 60 });
        view.show();
    }

    int add(const std::string& path, int64_t size = 10, int64_t modified = 0)
    {
        const int index = doc.addRecord(path, FileKind::Text, FileStatus { size, modified });
        doc.record(index).appendHit(testHit(1, 0, 2, 0));
        doc.updateAllViews(DocumentHint::RowsAdded);
        return index;
    }

    QString text(int row, int column) const { return model.index(row, column).data().toString(); }
    QPoint checkBoxAt(int row)
    {
        return ResultItemDelegate::checkBoxRect(view.visualRect(model.index(row, 0))).center();
    }
    QPoint labelAt(int row) { return view.visualRect(model.index(row, 1)).center(); }
    void clickHeading(int column)
    {
        QHeaderView* header = view.horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 10, header->height() / 2));
    }
    int selectedRow() const { return view.selectionModel()->selectedRows().value(0, QModelIndex()).row(); }

    CVellickDoc doc;
    FileIconList icons { nullptr };
    ResultListModel model;
    FakeViewHost host;
    CVellickView view;
};

} // namespace

class ResultListTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void columnTitlesAndTexts();
    void checkBoxClickTogglesWithoutSelecting();
    void checkAllAndUncheckAll();
    void selectingARowMakesItsFileCurrent();
    void selectionIsIgnoredWhileASearchRuns();
    void headingClickSortsWithMarksAndSelectionFollowing();
    void headingClickNeedsTwoRows();
    void contextMenuNeedsACurrentFileAndNoSearch();
    void doubleClickOpensOnlyTheCurrentFile();
    void rowsFollowTheDocument();
    void hitsColumnCountsAndOrdersAsNumbers();
};

void ResultListTest::initTestCase()
{
    setenv("TZ", "UTC", 1);
    tzset();
}

void ResultListTest::columnTitlesAndTexts()
{
    ListFixture list;
    const char* titles[] = { "File Name", "In Folder", "Type", "Size", "Modified", "Hits" };
    for (int column = 0; column < 6; ++column)
        QCOMPARE(list.model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
            QString::fromLatin1(titles[column]));
    list.add("/home/ann/Notes.TXT", 1024, 931091400);
    list.add("/top.txt", 1025, 1609599900);
    list.add("relative", 2048, 1609546020);
    list.add("/srv/empty", 0);
    QCOMPARE(list.text(0, 0), QStringLiteral("Notes.TXT"));
    QCOMPARE(list.text(0, 1), QStringLiteral("/home/ann"));
    QCOMPARE(list.text(0, 3), QStringLiteral("1024"));
    QCOMPARE(list.text(0, 4), QStringLiteral("7/4/1999 12:30 PM"));
    QCOMPARE(list.text(1, 1), QStringLiteral("/"));
    QCOMPARE(list.text(1, 3), QStringLiteral("1KB"));
    QCOMPARE(list.text(1, 4), QStringLiteral("1/2/2021 3:5 PM"));
    QCOMPARE(list.text(2, 0), QStringLiteral("relative"));
    QCOMPARE(list.text(2, 1), QStringLiteral("relative"));
    QCOMPARE(list.text(2, 3), QStringLiteral("2KB"));
    QCOMPARE(list.text(2, 4), QStringLiteral("1/2/2021 12:7 AM"));
    QCOMPARE(list.text(3, 3), QStringLiteral("0"));
}

void ResultListTest::checkBoxClickTogglesWithoutSelecting()
{
    ListFixture list;
    list.add("/a/one.txt");
    const int second = list.add("/a/two.txt");
    QVERIFY(QTest::qWaitForWindowExposed(&list.view));
    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, list.checkBoxAt(1));
    QCOMPARE(list.doc.record(second).checked, true);
    QCOMPARE(list.model.index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(list.selectedRow(), -1);
    QCOMPARE(list.doc.current(), -1);
    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, list.checkBoxAt(1));
    QCOMPARE(list.doc.record(second).checked, false);
    // A click beside the box selects the row as usual.
    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, list.labelAt(1));
    QCOMPARE(list.selectedRow(), 1);
    QCOMPARE(list.doc.current(), second);
    QCOMPARE(list.doc.record(second).checked, false);
}

void ResultListTest::checkAllAndUncheckAll()
{
    ListFixture list;
    for (const char* path : { "/a", "/b", "/c" })
        list.add(path);
    list.view.checkAll();
    for (int index = 0; index < 3; ++index)
        QCOMPARE(list.doc.record(index).checked, true);
    list.view.uncheckAll();
    for (int index = 0; index < 3; ++index)
        QCOMPARE(list.doc.record(index).checked, false);
}

void ResultListTest::selectingARowMakesItsFileCurrent()
{
    ListFixture list;
    const int first = list.add("/a/one.txt");
    const int second = list.add("/a/two.txt");
    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, list.labelAt(0));
    QCOMPARE(list.doc.current(), first);
    // The file left behind gives up its loaded surrounding text.
    CLine& old = list.doc.record(first);
    old.setContexts({ { "some text", 0 } });
    QTest::keyClick(&list.view, Qt::Key_Down);
    QCOMPARE(list.doc.current(), second);
    QCOMPARE(old.contextState(), ContextState::NotLoaded);
    QVERIFY(old.hit(0).context.empty());
}

void ResultListTest::selectionIsIgnoredWhileASearchRuns()
{
    ListFixture list;
    list.add("/a/one.txt");
    list.add("/a/two.txt");
    list.host.running = true;
    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, list.labelAt(1));
    QCOMPARE(list.doc.current(), -1);
    // Check boxes still work during a search.
    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, list.checkBoxAt(0));
    QCOMPARE(list.doc.record(0).checked, true);
}

void ResultListTest::headingClickSortsWithMarksAndSelectionFollowing()
{
    ListFixture list;
    list.add("/d/b.txt");
    list.add("/d/A.txt");
    const int c = list.add("/d/c.txt");
    QVERIFY(QTest::qWaitForWindowExposed(&list.view));
    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, list.checkBoxAt(0)); // b.txt
    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, list.labelAt(2)); // c.txt
    QCOMPARE(list.doc.current(), c);

    list.clickHeading(0);
    QCOMPARE(list.text(0, 0), QStringLiteral("A.txt"));
    QCOMPARE(list.text(1, 0), QStringLiteral("b.txt"));
    QCOMPARE(list.text(2, 0), QStringLiteral("c.txt"));
    QVERIFY(list.model.isChecked(1));
    QVERIFY(!list.model.isChecked(0));
    QCOMPARE(list.selectedRow(), 2);

    list.clickHeading(0);
    QCOMPARE(list.text(0, 0), QStringLiteral("c.txt"));
    QCOMPARE(list.text(2, 0), QStringLiteral("A.txt"));
    QVERIFY(list.model.isChecked(1));
    QCOMPARE(list.selectedRow(), 0);
    QCOMPARE(list.doc.current(), c);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void ResultListTest::headingClickNeedsTwoRows()
{
    ListFixture list;
    list.add("/only.txt");
    const bool before = list.doc.sortAscending(0);
    list.clickHeading(0);
    QCOMPARE(list.doc.sortAscending(0), before);
}

void ResultListTest::contextMenuNeedsACurrentFileAndNoSearch()
{
    ListFixture list;
    list.add("/a/one.txt");
    QContextMenuEvent atRow(
        QContextMenuEvent::Mouse, list.labelAt(0), list.view.viewport()->mapToGlobal(list.labelAt(0)));
    QApplication::sendEvent(list.view.viewport(), &atRow);
    QCOMPARE(list.host.contextMenus, 0);
    QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, list.labelAt(0));
    list.host.running = true;
    QApplication::sendEvent(list.view.viewport(), &atRow);
    QCOMPARE(list.host.contextMenus, 0);
    list.host.running = false;
    QApplication::sendEvent(list.view.viewport(), &atRow);
    QCOMPARE(list.host.contextMenus, 1);
}

void ResultListTest::doubleClickOpensOnlyTheCurrentFile()
{
    ListFixture list;
    list.add("/a/one.txt");
    list.add("/a/two.txt");
    // A double click is a click and a second press: the click makes the row current, outside a search.
    auto doubleClick = [&list](int row) {
        QTest::mouseClick(list.view.viewport(), Qt::LeftButton, {}, list.labelAt(row));
        QTest::mouseDClick(list.view.viewport(), Qt::LeftButton, {}, list.labelAt(row));
    };
    list.host.running = true;
    doubleClick(1);
    QCOMPARE(list.host.opened, 0);
    list.host.running = false;
    doubleClick(0);
    QCOMPARE(list.host.opened, 1);
}

void ResultListTest::rowsFollowTheDocument()
{
    ListFixture list;
    for (const char* path : { "/a", "/b", "/c" })
        list.add(path);
    list.doc.removeDisplayRow(0);
    QCOMPARE(list.model.rowCount(), 2);
    QCOMPARE(list.text(0, 0), QStringLiteral("b"));
    list.doc.clear();
    QCOMPARE(list.model.rowCount(), 0);
}

VELLICK_UI_TEST_MAIN(ResultListTest)
#include "tst_result_list.moc" // The Hits column: each file's count, "+" where its scan stopped at the hit limit, right-aligned, ordered
// as numbers by a heading click.
void ResultListTest::hitsColumnCountsAndOrdersAsNumbers()
{
    ListFixture list;
    struct Row {
        const char* path;
        int hits;
        bool limitReached;
        const char* text;
    };
    const Row rows[] = { { "/d/ten", 10, false, "10" }, { "/d/nine", 9, false, "9" },
        { "/d/full", 1024, true, "1024+" }, { "/d/same", 1024, false, "1024" } };
    for (const Row& row : rows) {
        const int index = list.doc.addRecord(row.path, FileKind::Text, FileStatus { 1, 0 });
        for (int i = 0; i < row.hits; ++i)
            list.doc.record(index).appendHit(testHit(0, static_cast<uint64_t>(i), 1, 0));
        list.doc.record(index).hitLimitReached = row.limitReached;
    }
    list.doc.updateAllViews(DocumentHint::RowsAdded);
    QVERIFY(QTest::qWaitForWindowExposed(&list.view));
    const auto rightAligned = [&](const QVariant& alignment) {
        return (alignment.value<Qt::Alignment>() & Qt::AlignHorizontal_Mask) == Qt::AlignRight;
    };
    QVERIFY(rightAligned(list.model.headerData(5, Qt::Horizontal, Qt::TextAlignmentRole)));
    for (int row = 0; row < 4; ++row) {
        QCOMPARE(list.text(row, 5), QString::fromLatin1(rows[row].text));
        QVERIFY(rightAligned(list.model.index(row, 5).data(Qt::TextAlignmentRole)));
    }
    QVERIFY(!rightAligned(list.model.index(0, 3).data(Qt::TextAlignmentRole)));

    list.clickHeading(5);
    QStringList shown;
    for (int row = 0; row < 4; ++row)
        shown.append(list.text(row, 5));
    QCOMPARE(shown, (QStringList { "9", "10", "1024", "1024+" }));
    list.clickHeading(5);
    QCOMPARE(list.text(0, 5), QStringLiteral("1024+"));
    QCOMPARE(list.text(3, 5), QStringLiteral("9"));
}
