// Reading the list of --listed: only regular files and pipes, bounded, and no NUL inside a path.

#include "base/unique_fd.h"
#include "cli/path_list.h"
#include "support/temp_tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;
using namespace std::string_literals;

TEST(PathList, LinesBecomePathsAndNulLinesAreSkipped)
{
    const PathList list = splitPathList("a.txt\r\n\n/b c\n/yes.txt\0junk\n\r\nlast"s, "L");
    EXPECT_EQ(list.paths, (std::vector<std::string> { "a.txt", "/b c", "last" }));
    EXPECT_EQ(
        list.skipped, (std::vector<std::string> { "the list L, line 4: a path cannot hold a NUL byte; line skipped" }));
}

TEST(PathList, OnlyRegularFilesAndPipesAreRead)
{
    TempTree tree;
    tree.write("list.txt", "one\ntwo\n");
    tree.write("folder/x", "");
    tree.makeFifo("fifo");
    const UniqueFd root(::open(tree.root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const std::pair<std::string, std::string> refused[] = {
        { tree.path("folder"), "Is a directory" },
        { "/dev/zero", "not a regular file or a pipe" },
        { tree.path("missing.txt"), "No such file or directory" },
    };
    for (const auto& [name, reason] : refused) {
        std::string error;
        EXPECT_FALSE(readPathList(AT_FDCWD, name, error)) << name;
        EXPECT_EQ(error, reason) << name;
    }
    std::string error;
    const auto list = readPathList(root.get(), "list.txt", error); // relative to the folder given
    ASSERT_TRUE(list) << error;
    EXPECT_EQ(list->paths, (std::vector<std::string> { "one", "two" }));
}
