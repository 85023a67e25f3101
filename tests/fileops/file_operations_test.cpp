#include "fileops/copy_files.h"
#include "fileops/delete_files.h"
#include "fileops/open_file.h"
#include "fileops/rename_rules.h"
#include "fileops/taken_rows.h"
#include "platform/file_renamer.h"
#include "platform/launcher.h"
#include "platform/trash_service.h"
#include "results/vellick_doc.h"

#include <gtest/gtest.h>
#include <set>

namespace vellick {
namespace {

// A document of `count` files /f/file<N>.txt in row order, none checked, no current record.
class FileOperationsTest : public ::testing::Test {
protected:
    void addFiles(int count)
    {
        for (int i = 0; i < count; ++i)
            m_doc.addRecord("/f/file" + std::to_string(i) + ".txt", FileKind::Text, FileStatus {});
    }
    void check(std::initializer_list<int> rows)
    {
        for (const int row : rows)
            m_doc.record(m_doc.recordAtRow(row)).checked = true;
    }
    std::string pathAt(int row) const { return m_doc.record(m_doc.recordAtRow(row)).path; }

    CVellickDoc m_doc;
};

class RecordingTrash : public TrashService {
public:
    ShellResult moveToTrash(const std::string& path) override
    {
        trashed.push_back(path);
        if (failing.contains(path))
            return ShellResult::failed("cannot");
        return ShellResult::done();
    }
    std::vector<std::string> trashed;
    std::set<std::string> failing;
};

class CountingObserver : public DocumentObserver {
public:
    void onDocumentUpdate(DocumentHint hint) override { hints.push_back(hint); }
    std::vector<DocumentHint> hints;
};

// Behaves like a list view whose selection moves to the row above when the selected row goes, and makes
// that row's record current.
class SelectionFollowingView : public DocumentObserver {
public:
    explicit SelectionFollowingView(CVellickDoc& doc)
        : m_doc(doc)
    {
    }
    void onDocumentUpdate(DocumentHint) override { }
    void onRowRemoved(int row) override
    {
        if (m_doc.current() < 0 && m_doc.rowCount() > 0)
            m_doc.setCurrent(m_doc.recordAtRow(std::max(0, row - 1)));
    }

private:
    CVellickDoc& m_doc;
};

TEST_F(FileOperationsTest, DeleteWalksUpOverCheckedRowsAndTheCurrentOne)
{
    addFiles(5);
    check({ 1, 3 });
    m_doc.setCurrent(m_doc.recordAtRow(4));
    CountingObserver observer;
    m_doc.addObserver(&observer);
    RecordingTrash trash;

    const DeleteOutcome outcome = deleteTakenFiles(m_doc, trash);
    EXPECT_TRUE(outcome.stoppedBy.ok());
    EXPECT_EQ(outcome.deleted, 3);
    EXPECT_EQ(trash.trashed, (std::vector<std::string> { "/f/file4.txt", "/f/file3.txt", "/f/file1.txt" }));
    ASSERT_EQ(m_doc.rowCount(), 2);
    EXPECT_EQ(pathAt(0), "/f/file0.txt");
    EXPECT_EQ(pathAt(1), "/f/file2.txt");
    EXPECT_EQ(m_doc.current(), m_doc.recordAtRow(0));
    EXPECT_EQ(observer.hints, std::vector<DocumentHint> { DocumentHint::CurrentChanged });
    m_doc.removeObserver(&observer);
}

TEST_F(FileOperationsTest, DeleteTakesOnlyTheFilesChosenBeforeTheWalk)
{
    addFiles(4);
    check({ 1, 3 });
    m_doc.setCurrent(m_doc.recordAtRow(2));
    SelectionFollowingView view(m_doc);
    m_doc.addObserver(&view);
    RecordingTrash trash;
    EXPECT_EQ(deleteTakenFiles(m_doc, trash).deleted, 3);
    EXPECT_EQ(trash.trashed, (std::vector<std::string> { "/f/file3.txt", "/f/file2.txt", "/f/file1.txt" }));
    ASSERT_EQ(m_doc.rowCount(), 1);
    EXPECT_EQ(pathAt(0), "/f/file0.txt");
    m_doc.removeObserver(&view);
}

TEST_F(FileOperationsTest, DeleteStopsAtTheFirstFailureAndNeedsACurrentRecord)
{
    addFiles(4);
    check({ 0, 1, 2 });
    RecordingTrash trash;
    EXPECT_EQ(deleteTakenFiles(m_doc, trash).deleted, 0);
    EXPECT_TRUE(trash.trashed.empty()) << "checked rows without a current record: nothing happens";

    m_doc.setCurrent(m_doc.recordAtRow(3));
    trash.failing.insert("/f/file2.txt");
    const DeleteOutcome outcome = deleteTakenFiles(m_doc, trash);
    EXPECT_EQ(outcome.deleted, 1);
    EXPECT_EQ(outcome.stoppedBy.reason, "cannot");
    ASSERT_EQ(m_doc.rowCount(), 3) << "the failed row and every row above it stay";
    EXPECT_EQ(pathAt(2), "/f/file2.txt");
    EXPECT_EQ(m_doc.current(), m_doc.recordAtRow(0));
}

TEST_F(FileOperationsTest, CopyCountRuleAndTakenRows)
{
    addFiles(4);
    m_doc.setCurrent(m_doc.recordAtRow(2));
    EXPECT_EQ(copyModeFor(m_doc), CopyMode::OneFile);
    check({ 2 });
    EXPECT_EQ(copyModeFor(m_doc), CopyMode::OneFile) << "a check mark on the current row only";
    m_doc.record(m_doc.recordAtRow(2)).checked = false;
    check({ 0 });
    EXPECT_EQ(copyModeFor(m_doc), CopyMode::ToFolder) << "one check mark elsewhere";
    EXPECT_EQ(takenRows(m_doc), (std::vector<int> { 0, 2 }));
}

class BatchCopier : public FileCopier {
public:
    ShellResult copyFile(const std::string&, const std::string&, ReplaceDecision&) override
    {
        return ShellResult::done();
    }
    ShellResult copyToFolder(const std::vector<std::string>& sources, const std::string&, ReplaceDecision&) override
    {
        batches.push_back(sources.size());
        return batches.size() == failAt ? ShellResult::failed("full") : ShellResult::done();
    }
    std::vector<std::size_t> batches;
    std::size_t failAt = 0;
};

class NoQuestion : public ReplaceQuestion {
    ReplaceAnswer askReplace(const std::string&) override { return ReplaceAnswer::Cancel; }
};

TEST_F(FileOperationsTest, CopyToFolderSendsBatchesOfAtMostAHundredAndStopsAtAFailedOne)
{
    addFiles(300);
    for (int row = 0; row < 250; ++row)
        check({ row });
    m_doc.setCurrent(m_doc.recordAtRow(0));
    BatchCopier copier;
    NoQuestion question;
    ReplaceDecision replace(question);
    FolderCopyOutcome outcome = copyTakenToFolder(m_doc, "/dst", copier, replace);
    EXPECT_EQ(copier.batches, (std::vector<std::size_t> { 100, 100, 50 }));
    EXPECT_EQ(outcome.batchesCopied, 3);

    copier.batches.clear();
    copier.failAt = 2;
    outcome = copyTakenToFolder(m_doc, "/dst", copier, replace);
    EXPECT_EQ(copier.batches, (std::vector<std::size_t> { 100, 100 }));
    EXPECT_EQ(outcome.batchesCopied, 1);
    EXPECT_EQ(outcome.stoppedBy.reason, "full");
}

TEST_F(FileOperationsTest, CopyDialogFiltersComeFromTypeAndExtension)
{
    m_doc.addRecord("/a.b/notes.txt", FileKind::Text, FileStatus {});
    m_doc.addRecord("/a.b/Makefile", FileKind::Text, FileStatus {});
    m_doc.record(0).typeName = m_doc.record(1).typeName = "plain text document";
    const CopyDialogSetup withExtension = copyDialogSetup(m_doc.record(0));
    EXPECT_EQ(withExtension.title, "Copy notes.txt to");
    EXPECT_EQ(withExtension.defaultName, "notes.txt");
    EXPECT_EQ(withExtension.filters,
        (std::vector<std::pair<std::string, std::string>> {
            { "plain text document    *.txt", "*.txt" }, { "All Files    *.*", "*.*" } }));
    // The dot of the folder counts when the file name has none.
    EXPECT_EQ(copyDialogSetup(m_doc.record(1)).filters.front().second, "*.b/Makefile");
}

class RecordingRenamer : public FileRenamer {
public:
    ShellResult rename(const std::string& from, const std::string& to) override
    {
        calls.emplace_back(from, to);
        return refuse ? ShellResult::failed("exists") : ShellResult::done();
    }
    std::vector<std::pair<std::string, std::string>> calls;
    bool refuse = false;
};

TEST_F(FileOperationsTest, RenameRules)
{
    EXPECT_EQ(forbiddenCharactersMessage(),
        "A filename cannot contain any of the following characters:\n\n        \\  /  :  *  ?  \"  <  >  |");
    addFiles(2);
    RecordingRenamer renamer;
    EXPECT_EQ(renameRow(m_doc, 1, "a/b.txt", renamer).step, RenameStep::Forbidden);
    EXPECT_EQ(renameRow(m_doc, 1, "x|y", renamer).step, RenameStep::Forbidden);
    EXPECT_EQ(renameRow(m_doc, 1, "FILE1.TXT", renamer).step, RenameStep::Ignored) << "case only";
    EXPECT_EQ(renameRow(m_doc, 1, "", renamer).step, RenameStep::Ignored);
    EXPECT_TRUE(renamer.calls.empty());

    m_doc.record(1).typeName = "plain text document";
    EXPECT_EQ(renameRow(m_doc, 1, " report.doc", renamer).step, RenameStep::Renamed);
    EXPECT_EQ(pathAt(1), "/f/ report.doc") << "taken as typed, no trimming";
    EXPECT_EQ(m_doc.record(1).typeName, "plain text document") << "type stays until a new search";

    renamer.refuse = true;
    const RenameOutcome failed = renameRow(m_doc, 0, "other.txt", renamer);
    EXPECT_EQ(failed.step, RenameStep::Failed);
    EXPECT_EQ(pathAt(0), "/f/file0.txt");
    EXPECT_EQ(renamedPath("nofolder.txt", "x.txt"), std::nullopt);
}

class FakeLauncher : public Launcher {
public:
    std::optional<std::string> associatedApplication(const std::string&) override { return association; }
    ShellResult openWithAssociation(const std::string& path) override
    {
        log.push_back("assoc " + path);
        return ShellResult::done();
    }
    ShellResult openWithProgram(const std::string& program, const std::string& path) override
    {
        log.push_back(program + " " + path);
        return program == "bad" ? ShellResult::failed("no") : ShellResult::done();
    }
    std::optional<std::string> association;
    std::vector<std::string> log;
};

class FixedProgram : public ProgramQuestion {
public:
    std::optional<std::string> askProgram() override
    {
        ++asked;
        return program;
    }
    std::optional<std::string> program;
    int asked = 0;
};

TEST(OpenFileTest, AssociationOrProgramAndTheOpenErrorText)
{
    FakeLauncher launcher;
    FixedProgram question;
    EXPECT_EQ(openFile("/a b/x.txt", false, launcher, question), std::nullopt);
    EXPECT_EQ(question.asked, 1) << "no association: the question instead";
    EXPECT_TRUE(launcher.log.empty()) << "cancelled";

    launcher.association = "editor.desktop";
    question.program = "bad";
    EXPECT_EQ(openFile("/a b/x.txt", false, launcher, question), std::nullopt);
    EXPECT_EQ(openFile("/a b/x.txt", true, launcher, question),
        "Unable to open file /a b/x.txt.\nMake sure the command specified is correct.");
    EXPECT_EQ(launcher.log, (std::vector<std::string> { "assoc /a b/x.txt", "bad /a b/x.txt" }));
    EXPECT_EQ(question.asked, 2) << "Open With always asks";
}

} // namespace
} // namespace vellick
