#include "documents/container_reader.h"
#include "documents/test_archives.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;

namespace {

std::span<const unsigned char> bytesOf(const std::string& text)
{
    return { reinterpret_cast<const unsigned char*>(text.data()), text.size() };
}

const std::vector<ArchiveEntry> kTree = {
    { "a.txt", "alpha words\n" },
    { "dir", "", EntryType::Folder },
    { "dir/b.txt", std::string(100000, 'b') + "needle", EntryType::File, 1600000000 },
    { "link", "a.txt", EntryType::Symlink },
    { "./dir/c.txt", "" },
};

} // namespace

TEST(ContainerKindTest, DecidesByMagicAndOfficeNames)
{
    const std::string zip = zipOf({ { "x", "y" } });
    std::string tar = buildArchive(ArchiveFormat::Tar, { { "x", "y" } });
    const struct {
        const char* name;
        std::string head;
        ContainerKind expected;
    } cases[] = {
        { "a.zip", zip, ContainerKind::Archive },
        { "a.jar", zip, ContainerKind::Archive },
        { "Report.DOCX", zip, ContainerKind::OfficeDocument },
        { "sheet.ods", zip, ContainerKind::OfficeDocument },
        { "a.tar", tar, ContainerKind::Archive },
        { "a.tar.gz", buildArchive(ArchiveFormat::TarGz, { { "x", "y" } }), ContainerKind::Archive },
        { "a.tgz", buildArchive(ArchiveFormat::TarGz, { { "x", "y" } }), ContainerKind::Archive },
        { "a.log.gz", buildArchive(ArchiveFormat::Gz, { { "x", "y" } }), ContainerKind::Compressed },
        { "a.bz2", buildArchive(ArchiveFormat::Bz2, { { "x", "y" } }), ContainerKind::Compressed },
        { "a.xz", buildArchive(ArchiveFormat::Xz, { { "x", "y" } }), ContainerKind::Compressed },
        { "a.7z", buildArchive(ArchiveFormat::SevenZip, { { "x", "y" } }), ContainerKind::Archive },
        { "a.pdf", "%PDF-1.4\n", ContainerKind::Pdf },
        { "late.pdf", "junk\n%PDF-1.4\n", ContainerKind::Pdf },
        { "notes.txt", "junk\n%PDF-1.4\n", ContainerKind::None },
        { "notes.txt", "BZh91 is not bzip2", ContainerKind::None },
        { "a.docx", "plain text", ContainerKind::None },
        { "empty", "", ContainerKind::None },
    };
    for (const auto& c : cases)
        EXPECT_EQ(containerKindOf(c.name, bytesOf(c.head)), c.expected) << c.name;
}

TEST(ContainerReaderTest, ReadsEveryFormatsRegularMembersInOrder)
{
    const ArchiveFormat formats[] = { ArchiveFormat::Zip, ArchiveFormat::Tar, ArchiveFormat::TarGz,
        ArchiveFormat::TarBz2, ArchiveFormat::TarXz, ArchiveFormat::TarZst, ArchiveFormat::SevenZip };
    for (const ArchiveFormat format : formats) {
        SCOPED_TRACE(static_cast<int>(format));
        const std::string bytes = buildArchive(format, kTree);
        const ContainerKind kind = containerKindOf("x", bytesOf(bytes));
        const ReadResult result = readAll(bytes, kind == ContainerKind::Compressed ? kind : ContainerKind::Archive);
        EXPECT_TRUE(result.notices.empty());
        ASSERT_EQ(result.members.size(), 3u);
        EXPECT_EQ(result.members[0].path, "a.txt");
        EXPECT_EQ(result.members[0].content, "alpha words\n");
        EXPECT_EQ(result.members[0].size, 12);
        EXPECT_EQ(result.members[0].modified, 1700000000);
        EXPECT_EQ(result.members[1].path, "dir/b.txt");
        EXPECT_EQ(result.members[1].content, kTree[2].data);
        EXPECT_EQ(result.members[1].modified, 1600000000);
        EXPECT_EQ(result.members[2].path, "dir/c.txt");
        EXPECT_EQ(result.members[2].content, "");

        const UniqueFd fd = memoryFileWith(bytes);
        const auto again = extractMember(fd.get(), ContainerKind::Archive, "dir/b.txt", {});
        ASSERT_TRUE(again);
        EXPECT_EQ(contentOf(again->get()), kTree[2].data);
        EXPECT_FALSE(extractMember(fd.get(), ContainerKind::Archive, "dir/gone.txt", {}));
    }
}

TEST(ContainerReaderTest, SingleCompressedFileIsTheFilesOwnContent)
{
    const std::string text = "compressed log line\n";
    for (const ArchiveFormat format : { ArchiveFormat::Gz, ArchiveFormat::Bz2, ArchiveFormat::Xz }) {
        const std::string bytes = buildArchive(format, { { "log", text } });
        const ReadResult result = readAll(bytes, ContainerKind::Compressed);
        ASSERT_EQ(result.members.size(), 1u);
        EXPECT_EQ(result.members[0].path, "");
        EXPECT_EQ(result.members[0].content, text);
        EXPECT_EQ(result.members[0].size, static_cast<int64_t>(bytes.size()));
        const UniqueFd fd = memoryFileWith(bytes);
        const auto again = extractMember(fd.get(), ContainerKind::Compressed, "", {});
        ASSERT_TRUE(again);
        EXPECT_EQ(contentOf(again->get()), text);
    }
    // A compressed tar that does not say so in its name is still read as an archive.
    const ReadResult tar = readAll(buildArchive(ArchiveFormat::TarXz, kTree), ContainerKind::Compressed);
    ASSERT_EQ(tar.members.size(), 3u);
    EXPECT_EQ(tar.members[1].path, "dir/b.txt");
}

TEST(ContainerReaderTest, NestedArchivesUpToTheDepthLimit)
{
    const std::string level3 = buildArchive(ArchiveFormat::Zip, { { "deep.txt", "deepest needle" } });
    const std::string level2 = buildArchive(ArchiveFormat::TarGz, { { "in/level3.zip", level3 } });
    const std::string level1 = buildArchive(ArchiveFormat::SevenZip,
        { { "level2.tar.gz", level2 }, { "log.gz", buildArchive(ArchiveFormat::Gz, { { "l", "gz text" } }) },
            { "plain.txt", "plain" } });
    const std::string outer = buildArchive(ArchiveFormat::Zip, { { "level1.7z", level1 } });

    const std::string deepPath = "level1.7z › level2.tar.gz › in/level3.zip › deep.txt";
    const ReadResult threeLevels = readAll(level1, ContainerKind::Archive);
    ASSERT_EQ(threeLevels.members.size(), 3u);
    EXPECT_EQ(threeLevels.members[0].path, "level2.tar.gz › in/level3.zip › deep.txt");
    EXPECT_EQ(threeLevels.members[0].content, "deepest needle");
    EXPECT_EQ(threeLevels.members[1].path, "log.gz");
    EXPECT_EQ(threeLevels.members[1].content, "gz text");
    EXPECT_TRUE(threeLevels.notices.empty());

    const ReadResult fourLevels = readAll(outer, ContainerKind::Archive);
    ASSERT_EQ(fourLevels.members.size(), 2u);
    EXPECT_EQ(fourLevels.members[0].path, "level1.7z › log.gz");
    EXPECT_TRUE(fourLevels.hasNotice("level1.7z › level2.tar.gz › in/level3.zip", ContainerProblem::TooDeep));

    ContainerLimits deeper;
    deeper.maxDepth = 4;
    const ReadResult allowed = readAll(outer, ContainerKind::Archive, deeper);
    ASSERT_EQ(allowed.members.size(), 3u);
    EXPECT_EQ(allowed.members[0].path, deepPath);

    const UniqueFd fd = memoryFileWith(outer);
    const auto deep = extractMember(fd.get(), ContainerKind::Archive, deepPath, deeper);
    ASSERT_TRUE(deep);
    EXPECT_EQ(contentOf(deep->get()), "deepest needle");
    const auto stored
        = extractMember(fd.get(), ContainerKind::Archive, "level1.7z › log.gz", {}, MemberContent::Stored);
    ASSERT_TRUE(stored);
    EXPECT_EQ(contentOf(stored->get()), buildArchive(ArchiveFormat::Gz, { { "l", "gz text" } }));
}

TEST(ContainerReaderTest, StopsWhenTheCallbackSaysSo)
{
    const UniqueFd fd = memoryFileWith(buildArchive(ArchiveFormat::Zip, kTree));
    std::vector<ContainerNotice> notices;
    int calls = 0;
    readContainer(
        fd.get(), ContainerKind::Archive, {}, nullptr, [&](const ContainerMember&) { return ++calls < 1; }, notices);
    EXPECT_EQ(calls, 1);
    std::atomic<bool> cancel = true;
    readContainer(
        fd.get(), ContainerKind::Archive, {}, &cancel, [&](const ContainerMember&) { return ++calls > 0; }, notices);
    EXPECT_EQ(calls, 1);
}
