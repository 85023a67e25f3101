// The JSON of a found file: a path that is not UTF-8 keeps its exact bytes in path_bytes.

#include "cli/json_writer.h"
#include "results/cline.h"

#include <gtest/gtest.h>

using namespace vellick;

TEST(JsonPath, PathBytesOnlyWhenThePathIsNotUtf8)
{
    struct Case {
        std::string path;
        std::string expectedStart;
    };
    const Case cases[] = {
        { "/t/caf\xC3\xA9.txt", "{\"path\":\"/t/caf\xC3\xA9.txt\",\"kind\":1," },
        { "/t/tab\there", "{\"path\":\"/t/tab\\there\",\"kind\":1," },
        // The Latin-1 name and the UTF-8 name no longer give one string: the bytes tell them apart.
        { "/t/caf\xE9.txt", "{\"path\":\"/t/caf\xEF\xBF\xBD.txt\",\"path_bytes\":\"L3QvY2Fm6S50eHQ=\",\"kind\":1," },
        { "/\xED\xA0\x80",
            "{\"path\":\"/\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\",\"path_bytes\":\"L+2ggA==\",\"kind\":1," },
        { "/cut\xE2\x82", "{\"path\":\"/cut\xEF\xBF\xBD\xEF\xBF\xBD\",\"path_bytes\":\"L2N1dOKC\",\"kind\":1," },
    };
    for (const Case& c : cases) {
        CLine line(c.path);
        line.appendHit(Hit { 10, 2, 3, 0 });
        const std::string json = hitsJson(line, c.path);
        EXPECT_EQ(json.substr(0, c.expectedStart.size()), c.expectedStart) << json;
        EXPECT_EQ(json.substr(json.size() - 13), "[[10,2,3,0]]}") << json;
    }
}

TEST(JsonPath, MembersOfArchivesNameTheArchiveAndTheMemberApart)
{
    const std::string sep(kMemberSeparator);
    struct Case {
        ContainerKind kind;
        std::string member;
        std::string expectedStart;
    };
    const Case cases[] = {
        { ContainerKind::Archive, "in.tar" + sep + "d/x.txt",
            "{\"path\":\"a.zip" + sep + "in.tar" + sep + "d/x.txt\",\"archive\":\"a.zip\",\"member\":\"in.tar" + sep
                + "d/x.txt\",\"kind\":1," },
        { ContainerKind::Archive, "caf\xE9",
            "{\"path\":\"a.zip" + sep
                + "caf\xEF\xBF\xBD\",\"path_bytes\":\"YS56aXAg4oC6IGNhZuk=\",\"archive\":\"a.zip\","
                  "\"member\":\"caf\xEF\xBF\xBD\",\"member_bytes\":\"Y2Fm6Q==\",\"kind\":1," },
        { ContainerKind::Pdf, "", "{\"path\":\"a.zip\",\"kind\":1," }, // a document is its file
    };
    for (const Case& c : cases) {
        CLine line("/t/a.zip");
        line.setInside(c.kind, c.member, {}, false);
        const std::string shown = line.shownPath().substr(3);
        const std::string json = hitsJson(line, shown, "a.zip");
        EXPECT_EQ(json.substr(0, c.expectedStart.size()), c.expectedStart) << json;
    }
}

TEST(JsonPath, Base64MatchesTheStandardVectors)
{
    const std::pair<std::string, std::string> cases[] = {
        { "", "" },
        { "f", "Zg==" },
        { "fo", "Zm8=" },
        { "foo", "Zm9v" },
        { "foob", "Zm9vYg==" },
        { "fooba", "Zm9vYmE=" },
        { "foobar", "Zm9vYmFy" },
        { std::string("\xFF\x00\xFE", 3), "/wD+" },
    };
    for (const auto& [bytes, encoded] : cases)
        EXPECT_EQ(base64(bytes), encoded) << encoded;
}
