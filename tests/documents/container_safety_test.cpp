#include "documents/container_reader.h"
#include "documents/test_archives.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace vellick;
using namespace vellick::test;

namespace {

constexpr uint64_t kMiB = 1024 * 1024;

ContainerLimits limitsOf(uint64_t maxBytes, uint64_t ratio)
{
    ContainerLimits limits;
    limits.maxExpandedBytes = maxBytes;
    limits.maxExpansionRatio = ratio;
    return limits;
}

} // namespace

TEST(ContainerSafetyTest, BombsAreCutAtTheLimits)
{
    const std::string zeros(8 * kMiB, '\0');
    const struct {
        const char* name;
        std::string archive;
        ContainerLimits limits;
        uint64_t keptBytes; // 0: anything below the limit
    } cases[] = {
        { "expanded size", buildArchive(ArchiveFormat::Zip, { { "bomb", zeros }, { "after", "ok" } }),
            limitsOf(1 * kMiB, 1000), 1 * kMiB },
        { "ratio", buildArchive(ArchiveFormat::Zip, { { "bomb", zeros }, { "after", "ok" } }), limitsOf(1u << 30, 10),
            0 },
        { "ratio in a compressed tar", buildArchive(ArchiveFormat::TarXz, { { "bomb", zeros }, { "after", "ok" } }),
            limitsOf(1u << 30, 10), 0 },
        { "declared sparse size",
            buildArchive(ArchiveFormat::Tar,
                { { "bomb", "data", EntryType::File, 1, int64_t(64 * kMiB), int64_t(32 * kMiB) }, { "after", "ok" } }),
            limitsOf(1 * kMiB, 1000), 1 * kMiB },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult result = readAll(c.archive, ContainerKind::Archive, c.limits);
        ASSERT_EQ(result.members.size(), 2u);
        EXPECT_TRUE(result.members[0].cutAtLimit);
        EXPECT_TRUE(result.hasNotice("bomb", ContainerProblem::CutAtLimit));
        EXPECT_LT(result.members[0].content.size(), zeros.size());
        if (c.keptBytes) {
            EXPECT_EQ(result.members[0].content.size(), c.keptBytes);
        }
        EXPECT_FALSE(result.members[1].cutAtLimit);
        EXPECT_EQ(result.members[1].content, "ok");
    }
}

TEST(ContainerSafetyTest, HugeSparseMemberStaysSmallInMemory)
{
    // 3 GiB declared, 8 KiB of data: the member is cut at the default 1 GiB and its holes cost no memory.
    const int64_t huge = int64_t(3) << 30;
    const std::string archive
        = buildArchive(ArchiveFormat::Tar, { { "disk.img", std::string(4096, 'x'), EntryType::File, 1, huge, 4096 } });
    const UniqueFd fd = memoryFileWith(archive);
    std::vector<ContainerNotice> notices;
    bool seen = false;
    readContainer(
        fd.get(), ContainerKind::Archive, {}, nullptr,
        [&](const ContainerMember& member) {
            struct stat info { };
            ::fstat(member.fd, &info);
            EXPECT_EQ(member.size, huge);
            EXPECT_TRUE(member.cutAtLimit);
            EXPECT_EQ(info.st_size, 1 << 30);
            EXPECT_LT(info.st_blocks * 512, 1 << 20);
            return seen = true;
        },
        notices);
    EXPECT_TRUE(seen);
}

TEST(ContainerSafetyTest, EscapingNamesAreOnlyNames)
{
    const auto folder = std::filesystem::temp_directory_path() / "vellick-escape-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "a" / "b");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder / "a" / "b");
    const std::string archive = buildArchive(ArchiveFormat::Tar,
        { { "../../escaped", "out" }, { "/tmp/vellick-absolute-escape", "abs" }, { "fine", "in" } });
    const ReadResult result = readAll(archive, ContainerKind::Archive);
    std::filesystem::current_path(previous);
    ASSERT_EQ(result.members.size(), 3u);
    EXPECT_EQ(result.members[0].path, "../../escaped");
    EXPECT_EQ(result.members[1].path, "/tmp/vellick-absolute-escape");
    EXPECT_FALSE(std::filesystem::exists(folder / "escaped"));
    EXPECT_FALSE(std::filesystem::exists("/tmp/vellick-absolute-escape"));
    EXPECT_TRUE(std::filesystem::is_empty(folder / "a" / "b"));
    std::filesystem::remove_all(folder);
}

TEST(ContainerSafetyTest, EncryptedAndDamagedArchivesGiveNoticesAndWhatCanBeRead)
{
    const std::string tarGz = buildArchive(ArchiveFormat::TarGz,
        { { "first.txt", "first" }, { "second.txt", std::string(200000, 's') }, { "third.txt", "third" } });
    std::string noise;
    for (uint32_t state = 1; noise.size() < 20000;) {
        state = state * 1103515245 + 12345;
        noise += static_cast<char>('a' + (state >> 16) % 26);
    }
    std::string corruptZip = buildArchive(ArchiveFormat::Zip, { { "first.txt", "first" }, { "second.txt", noise } });
    corruptZip[corruptZip.size() / 2] ^= 0x55; // inside the second member's compressed data
    const struct {
        const char* name;
        std::string archive;
        std::vector<std::string> members;
        std::string noticePath;
        ContainerProblem problem;
    } cases[] = {
        { "encrypted zip",
            buildArchive(ArchiveFormat::Zip, { { "secret.txt", "hidden" } }, "zip:encryption=zipcrypt", "password"), {},
            "secret.txt", ContainerProblem::Encrypted },
        { "truncated tar.gz", tarGz.substr(0, tarGz.size() / 2), { "first.txt", "second.txt" }, "second.txt",
            ContainerProblem::Damaged },
        { "wrong CRC", corruptZip, { "first.txt", "second.txt" }, "second.txt", ContainerProblem::Damaged },
        { "garbage after a zip signature", "PK\x03\x04" + std::string(300, '\x02'), {}, "", ContainerProblem::Damaged },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReadResult result = readAll(c.archive, ContainerKind::Archive);
        std::vector<std::string> paths;
        for (const ReadMember& member : result.members)
            paths.push_back(member.path);
        EXPECT_EQ(paths, c.members);
        EXPECT_TRUE(result.hasNotice(c.noticePath, c.problem));
    }
}
