// The surrounding-text loader and the display lines on arbitrary files and arbitrary hit lists (any order,
// overlapping, past the file's end, longer than the window), and on files that changed since the search.
// Every context must be a byte-for-byte copy of the file around its hit, at most 384 printable characters,
// and the display lines must cover the hits in order.
#include "base/byte_classes.h"
#include "results/cline.h"
#include "results/context_window.h"
#include "results/message_sink.h"
#include "support/cline_fields.h"
#include "support/fuzz_check.h"
#include "support/scratch_folder.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellick;
using vellick::fuzz::fuzzCheck;
using vellick::test::testHit;

namespace {

class CountingSink : public MessageSink {
public:
    void showMessage(const std::string&) override { ++count; }
    int count = 0;
};

uint64_t hitOffset(FuzzedDataProvider& input, std::size_t fileSize)
{
    switch (input.ConsumeIntegralInRange(0, 7)) {
    case 0:
        return input.ConsumeIntegral<uint64_t>(); // anywhere, even beyond what off_t holds
    case 1:
        return fileSize + input.ConsumeIntegralInRange<uint64_t>(0, 500);
    default:
        return input.ConsumeIntegralInRange<uint64_t>(0, fileSize);
    }
}

void addHits(FuzzedDataProvider& input, CLine& line, std::size_t fileSize, bool ascending)
{
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 40);
    uint64_t previous = 0;
    for (std::size_t i = 0; i < count; ++i) {
        uint64_t offset = hitOffset(input, fileSize);
        if (ascending)
            offset = previous = std::max(previous, offset);
        const uint32_t length = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(1, 40)
                                                    : input.ConsumeIntegralInRange<uint32_t>(0, 7000);
        line.appendHit(testHit(input.ConsumeIntegral<uint32_t>(), offset, length, input.ConsumeIntegral<uint8_t>()));
    }
}

// A context is the file's bytes from (offset - position) on, each unprintable byte shown as a space.
void checkContext(const CLine& line, std::size_t hit, std::string_view file)
{
    const std::string& text = line.hit(hit).context;
    const std::size_t position = line.hit(hit).contextPosition;
    const uint64_t offset = line.hit(hit).offset;
    fuzzCheck(text.size() <= kContextWindowSize, "a context has at most 384 characters");
    fuzzCheck(position <= kContextLead && position <= offset, "at most 192 characters in front of the hit");
    fuzzCheck(position <= text.size(), "the hit starts inside its context");
    const uint64_t start = offset - position;
    fuzzCheck(start + text.size() <= file.size(), "the context lies inside the file");
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(file[start + i]);
        fuzzCheck(text[i] == (isPrintable(byte) ? static_cast<char>(byte) : ' '), "the context copies the file");
    }
}

void checkDisplayLines(const CLine& line)
{
    const std::vector<DisplayLine> lines = line.displayLines();
    if (line.contextState() != ContextState::Loaded) {
        fuzzCheck(lines.empty(), "no display lines without loaded contexts");
        return;
    }
    fuzzCheck(line.hitCount() == 0 || (!lines.empty() && lines.size() <= line.hitCount()), "1 to k display lines");
    std::size_t next = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        fuzzCheck(lines[n].firstHit == next && lines[n].hitEnd > next, "display lines cover the hits in order");
        next = lines[n].hitEnd;
        const std::string& context = line.hit(lines[n].firstHit).context;
        const std::vector<KeywordSpan> spans = line.keywordSpans(lines[n]);
        for (std::size_t i = 0; i < spans.size(); ++i) {
            fuzzCheck(spans[i].start < spans[i].end && spans[i].end <= context.size(), "spans lie inside the context");
            fuzzCheck(i == 0 || spans[i].start > spans[i - 1].end, "keyword spans are ordered and apart");
        }
        // The prefix: "line " or nothing, a number of at most 20 digits, ": ".
        const std::string withPrefix = line.BuildDisplayLine(n, true);
        fuzzCheck(withPrefix.size() <= context.size() + 27 && withPrefix.ends_with(context), "prefix, then context");
        fuzzCheck(line.BuildDisplayLine(n, false) == context, "without numbers a display line is its context");
    }
    fuzzCheck(next == line.hitCount(), "every hit is on a display line");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool ascending = input.ConsumeBool();
    const int change = input.ConsumeIntegralInRange(0, 5); // 1: touched, 2: cut short, 3: removed
    const std::string file = input.ConsumeRandomLengthString(4096);
    const std::string path = vellick::fuzz::ScratchFolder::write("file", file);
    struct stat status { };
    fuzzCheck(::stat(path.c_str(), &status) == 0, "the scratch file exists");

    CLine line(path);
    line.kind = input.ConsumeBool() ? FileKind::Text : FileKind::Binary;
    line.modified = static_cast<int64_t>(status.st_mtim.tv_sec) + (change == 1 ? 1 : 0);
    line.modifiedNanoseconds = static_cast<int32_t>(status.st_mtim.tv_nsec);
    addHits(input, line, file.size(), ascending);
    std::string_view onDisk = file;
    if (change == 2) {
        onDisk = onDisk.substr(0, input.ConsumeIntegralInRange<std::size_t>(0, file.size()));
        fuzzCheck(::truncate(path.c_str(), static_cast<off_t>(onDisk.size())) == 0, "the file can be cut");
    } else if (change == 3) {
        ::unlink(path.c_str());
    }

    CountingSink messages;
    const bool loaded = line.LoadContexts(messages);
    fuzzCheck(loaded == (line.contextState() == ContextState::Loaded), "the state follows the answer");
    fuzzCheck(messages.count == (line.contextState() == ContextState::Refused ? 1 : 0), "one message per refusal");
    if (change == 1 || change == 3)
        fuzzCheck(line.contextState() == ContextState::Refused, "a changed or vanished file is refused");
    if (loaded) {
        for (std::size_t hit = 0; hit < line.hitCount(); ++hit)
            checkContext(line, hit, onDisk);
    }
    checkDisplayLines(line);
    fuzzCheck(line.LoadContexts(messages) == loaded && messages.count <= 1, "a refusal is not repeated");
    line.dropContexts();
    fuzzCheck(line.displayLines().empty(), "dropped contexts give no display lines");
    return 0;
}
