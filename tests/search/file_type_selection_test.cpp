#include "search/file_type_selection.h"
#include "search/folder_file_types.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vellick {
namespace {

using Entries = std::vector<std::string>;

TEST(FolderFileTypesTest, ListsLowerCasedFilesWithExtensionsAndTheirTypes)
{
    test::TempTree tree;
    for (const char* name : { "Report.TXT", "notes.txt", "data.csv", "Makefile", ".profile", "app.config" })
        tree.write(name, "x");
    tree.makeFolder("folder.d");
    const FolderFileTypes all = listFolderFileTypes(tree.root(), ".*");
    EXPECT_EQ(all.files, (Entries { "app.config", "data.csv", "notes.txt", "report.txt" }));
    EXPECT_EQ(all.types, (Entries { "*.*", "*.config", "*.csv", "*.txt" }));

    const FolderFileTypes text = listFolderFileTypes(tree.root(), ".txt");
    EXPECT_EQ(text.files, (Entries { "notes.txt", "report.txt" }));
    EXPECT_EQ(text.types, all.types);

    const FolderFileTypes missing = listFolderFileTypes(tree.path("nowhere"), ".*");
    EXPECT_TRUE(missing.files.empty());
    EXPECT_EQ(missing.types, Entries { "*.*" });
}

TEST(FileTypeSelectionTest, FilesAndTheirTypesNeverStandTogether)
{
    FileTypeSelection selection;
    EXPECT_EQ(selection.addFile("notes.txt"), 0);
    EXPECT_EQ(selection.addFile("report.txt"), 1);
    EXPECT_EQ(selection.addFile("notes.txt"), 0) << "already there: only selected";
    EXPECT_EQ(selection.addFile(""), std::nullopt);
    EXPECT_EQ(selection.addType("*.txt"), 0);
    EXPECT_EQ(selection.entries(), Entries { "*.txt" });
    EXPECT_EQ(selection.addFile("notes.txt"), 0);
    EXPECT_EQ(selection.entries(), Entries { "notes.txt" });
    EXPECT_EQ(selection.addType("*.config"), 0);
    EXPECT_EQ(selection.entries(), (Entries { "*.config", "notes.txt" }));
}

TEST(FileTypeSelectionTest, StarDotStarStandsAlone)
{
    FileTypeSelection selection;
    selection.addFile("a.txt");
    selection.addType("*.csv");
    EXPECT_EQ(selection.addType("*.*"), 0);
    EXPECT_EQ(selection.entries(), Entries { "*.*" });
    selection.addFile("b.doc");
    EXPECT_EQ(selection.entries(), Entries { "b.doc" });
    selection.addType("*.*");
    selection.addType("*.csv");
    EXPECT_EQ(selection.entries(), Entries { "*.csv" });
}

TEST(FileTypeSelectionTest, RemovingSelectsTheNextEntryAndOkTextEndsInAComma)
{
    FileTypeSelection selection;
    EXPECT_EQ(selection.resultText(), "");
    selection.addFile("a.txt");
    selection.addType("*.csv");
    selection.addFile("b.doc");
    EXPECT_EQ(selection.resultText(), "*.csv,a.txt,b.doc,");
    EXPECT_EQ(selection.remove(1), 1);
    EXPECT_EQ(selection.remove(1), 0) << "the last one went: the new last is selected";
    EXPECT_EQ(selection.remove(5), std::nullopt);
    EXPECT_EQ(selection.remove(0), std::nullopt);
    EXPECT_TRUE(selection.entries().empty());
}

} // namespace
} // namespace vellick
