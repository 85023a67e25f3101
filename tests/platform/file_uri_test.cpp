#include "platform/file_uri.h"

#include <gtest/gtest.h>

namespace vellick {

TEST(FileUri, KeepsTheBytesOfEveryName)
{
    const std::pair<std::string, std::string> cases[] = {
        { "/home/a/notes.txt", "file:///home/a/notes.txt" },
        { "/tmp/with space/it's \"q\".txt", "file:///tmp/with%20space/it%27s%20%22q%22.txt" },
        { "/tmp/caf\xC3\xA9", "file:///tmp/caf%C3%A9" }, // UTF-8 is encoded byte by byte
        { "/tmp/latin1-\xE9.txt", "file:///tmp/latin1-%E9.txt" }, // not UTF-8: the byte itself
        { "/tmp/%#?&+;=[]~_-.", "file:///tmp/%25%23%3F%26%2B%3B%3D%5B%5D~_-." },
        { "/", "file:///" },
    };
    for (const auto& [path, uri] : cases)
        EXPECT_EQ(fileUri(path), uri) << path;
}

} // namespace vellick
