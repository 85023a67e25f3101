#pragma once

#include "base/unique_fd.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Reading inside archives, compressed files, office documents and PDFs. Used by the search run (which scans
// what readContainer delivers as it scans a file) and by the loaders and commands that need one member again
// (extractMember). Nothing here writes to the file system: every member and every extracted text lives in an
// anonymous in-memory file (memfd) that the caller receives for the duration of one callback.
namespace vellick {

enum class ContainerKind {
    None,
    Archive, // zip, tar, tar.gz/.bz2/.xz/.zst, 7z
    Compressed, // a single compressed file: .gz, .bz2, .xz, .zst (a compressed tar is read as an archive)
    OfficeDocument, // odt ods odp docx xlsx pptx
    Pdf,
};

// Decided from the file name and its first bytes (magic numbers; pass at least the first 512 bytes where the
// file has them, so that a tar's header is seen). An office document is a zip whose name ends in one of the
// office suffixes; when it turns out not to hold its content part, readContainer reads it as an archive.
ContainerKind containerKindOf(std::string_view fileName, std::span<const unsigned char> head);

// Between an archive's path and a member path, and between nesting levels ("a.zip › inner.tar › x/y.txt").
// A right-pointing angle quotation mark between spaces: it reads well and real paths hardly ever hold it.
inline constexpr std::string_view kMemberSeparator = " \u203A ";

struct ContainerLimits {
    uint64_t maxExpandedBytes = 1ull << 30; // a member (or a document's text) is cut here
    uint64_t maxExpansionRatio = 1000; // ... or once it is this many times larger than its compressed size
    int maxDepth = 3; // the container itself is depth 1; containers nested deeper are skipped with TooDeep
};

struct ContainerMember {
    // Inside the container: "folder/inside/name"; nested: "inner.zip › folder/name". Empty for the content of
    // the file itself: a document's text or a single compressed file's expanded bytes.
    std::string path;
    int64_t size = 0; // the member's size; for an empty path, the container file's size
    int64_t modified = 0; // seconds since 1970 UTC; for an empty path, the container file's
    bool cutAtLimit = false; // its content was cut at a limit (a zip bomb); a CutAtLimit notice says so too
    int fd = -1; // readable from offset 0 (a memfd): the member's bytes or the document's UTF-8 text; valid
                 // only during the call
};

enum class ContainerProblem {
    Encrypted, // a member (or the whole container) needs a password: skipped
    Damaged, // the container or a member could not be read to its end: what was read before is delivered
    TooDeep, // an archive or document nested deeper than maxDepth: skipped
    CutAtLimit, // a member expanded past maxExpandedBytes or maxExpansionRatio: delivered cut there
    Unreadable, // the container could not be opened or read at all (or memory for a memfd was refused)
};

struct ContainerNotice {
    std::string memberPath; // as in ContainerMember::path; empty for the container itself
    ContainerProblem problem;
};

// Reads the container open at `fd` (from its start; the descriptor's offset is not used), calling onMember
// for each regular-file member in archive order, or once with an empty path for a document's text or a
// compressed file's content. A member that is itself a container is read in turn instead of being delivered
// as it is stored (an archive's members come as "inner.zip › name"; a document's text or a compressed file's
// content comes under the member's own path), down to maxDepth. Stops early when onMember returns false or
// *cancel turns true (cancel may be null). Problems are appended to `notices`.
void readContainer(int fd, ContainerKind kind, const ContainerLimits& limits, const std::atomic<bool>* cancel,
    const std::function<bool(const ContainerMember&)>& onMember, std::vector<ContainerNotice>& notices);

enum class MemberContent {
    Searched, // what readContainer delivered for the member: the text of a document, the content of a .gz
    Stored, // the member's bytes as stored in its archive (for Open and Copy To)
};

// Extracts again the member named `memberPath` (as readContainer gave it; empty for a document's text or a
// compressed file's content) into a new memfd positioned at 0, cut at the same limits; nothing when it is
// gone, encrypted or unreadable. With MemberContent::Stored and an empty path there is nothing to extract:
// the container file itself is what is stored.
std::optional<UniqueFd> extractMember(int fd, ContainerKind kind, std::string_view memberPath,
    const ContainerLimits& limits, MemberContent content = MemberContent::Searched);

} // namespace vellick
