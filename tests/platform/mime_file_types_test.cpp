#include "platform/linux/mime_file_types.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace vellick {
namespace {

// The type names are the MIME database's comments in English: the tests run with LANG=C.UTF-8.
TEST(MimeFileTypesTest, TypeNamesComeFromTheMimeDatabase)
{
    test::TempTree tree;
    MimeFileTypes types;
    EXPECT_EQ(types.describe(tree.write("notes.txt", "some text\n")).typeName, "plain text document");
    EXPECT_EQ(types.describe(tree.write("main.c", "int main(void) { return 0; }\n")).typeName, "C source code");
}

// A name without an extension leaves the type to the content, which is read by the path's bytes even when
// the name is not UTF-8. A FIFO is never opened, so it cannot block the lookup.
TEST(MimeFileTypesTest, ContentDecidesForNamesWithoutExtension)
{
    test::TempTree tree;
    MimeFileTypes types;
    const std::string script = "#!/bin/sh\necho hello\n";
    EXPECT_EQ(types.describe(tree.write("run", script)).typeName, "shell script");
    EXPECT_EQ(types.describe(tree.write("run \xff\xfe", script)).typeName, "shell script");
    EXPECT_EQ(types.describe(tree.makeFifo("pipe.txt")).typeName, "plain text document");
    // Below an archive's path nothing can be read: the name alone decides, never an empty content.
    const std::string archive = tree.write("bundle.zip", std::string("PK\x03\x04", 4));
    EXPECT_EQ(types.describe(archive + "/notes.txt").typeName, "plain text document");
    EXPECT_EQ(types.describe(archive + "/run").typeName, types.describe(tree.path("missing")).typeName);
    EXPECT_NE(types.describe(archive + "/run").typeName, types.describe(tree.write("empty", "")).typeName);
}

TEST(MimeFileTypesTest, OneIconIndexPerIconName)
{
    test::TempTree tree;
    MimeFileTypes types;
    const int first = types.describe(tree.write("a.txt", "a\n")).iconIndex;
    const int second = types.describe(tree.write("b.txt", "b\n")).iconIndex;
    const int source = types.describe(tree.write("c.c", "int x;\n")).iconIndex;
    EXPECT_EQ(first, second);
    EXPECT_NE(first, source);
    EXPECT_NE(first, 0); // index 0 is the plain file icon

    const auto names = types.iconNames();
    ASSERT_GT(names.size(), static_cast<std::size_t>(std::max(first, source)));
    EXPECT_EQ(names[0], std::vector<std::string> { "text-x-generic" });
    EXPECT_EQ(names[static_cast<std::size_t>(first)], (std::vector<std::string> { "text-plain", "text-x-generic" }));
}

} // namespace
} // namespace vellick
