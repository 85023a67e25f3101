// The report writer on arbitrary records (odd paths and type names, any sizes and times, hits in and past
// the file), keyword lists, formats and columns: the file must hold exactly the header and the rows'
// texts, the loaded texts of rows other than the highlighted one must be given up, and a target that
// cannot be created must give "Open file failed." with nothing written.
#include "report/report_row.h"
#include "report/report_writer.h"
#include "results/message_sink.h"
#include "results/vellick_doc.h"
#include "search/keyword_list.h"
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

class SilentSink : public MessageSink {
public:
    void showMessage(const std::string&) override { }
};

ReportSettings reportSettings(FuzzedDataProvider& input)
{
    ReportSettings settings;
    settings.format = static_cast<ReportFormat>(input.ConsumeIntegralInRange(1, 3));
    settings.showLineNumbers = input.ConsumeBool();
    ReportOptions& options = settings.options;
    for (bool* flag : { &options.includePath, &options.includeType, &options.includeSize, &options.includeModified,
             &options.includeContext, &options.includeKeywords, &options.includeHits })
        *flag = input.ConsumeBool();
    return settings;
}

void addHits(FuzzedDataProvider& input, CLine& line, std::size_t fileSize, std::size_t patternCount)
{
    uint64_t offset = 0;
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(1, 200);
    for (std::size_t i = 0; i < count && input.remaining_bytes() > 0; ++i) {
        offset += input.ConsumeIntegralInRange<uint64_t>(0, 64);
        const auto pattern = static_cast<uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, patternCount));
        line.appendHit(testHit(
            i, std::min<uint64_t>(offset, fileSize + 8), input.ConsumeIntegralInRange<uint32_t>(1, 50), pattern));
    }
}

void addRecords(FuzzedDataProvider& input, CVellickDoc& doc, const std::string& file, const KeywordList& keywords)
{
    const std::string filePath = vellick::fuzz::ScratchFolder::write("searched", file);
    struct stat status { };
    fuzzCheck(::stat(filePath.c_str(), &status) == 0, "the searched file exists");
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(1, 12);
    for (std::size_t i = 0; i < count; ++i) {
        const bool real = input.ConsumeBool();
        const std::string path = real ? filePath : input.ConsumeRandomLengthString(300);
        FileStatus fileStatus { input.ConsumeIntegral<int64_t>(), input.ConsumeIntegral<int64_t>() };
        if (real && input.ConsumeBool()) {
            fileStatus.modified = static_cast<int64_t>(status.st_mtim.tv_sec);
            fileStatus.modifiedNanoseconds = static_cast<int32_t>(status.st_mtim.tv_nsec);
        }
        const int index = doc.addRecord(path, input.ConsumeBool() ? FileKind::Text : FileKind::Binary, fileStatus);
        CLine& line = doc.record(index);
        line.typeName = input.ConsumeRandomLengthString(40);
        line.checked = input.ConsumeBool();
        addHits(input, line, file.size(), keywords.count());
    }
    doc.setCurrent(input.ConsumeIntegralInRange(-1, doc.recordCount() - 1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const ReportSettings settings = reportSettings(input);
    const KeywordList keywords(input.ConsumeRandomLengthString(200), input.ConsumeIntegral<uint8_t>() & 0x7F);
    const std::string file = input.ConsumeRandomLengthString(3000);
    CVellickDoc doc;
    addRecords(input, doc, file, keywords);
    const std::vector<ReportRow> rows = checkedAndHighlightedRows(doc);

    SilentSink messages;
    const std::string missing = vellick::fuzz::ScratchFolder::path() + "/no-such-folder/report";
    fuzzCheck(WriteReport(missing, rows, keywords, settings, messages) == ReportStatus::OpenFailed,
        "a report that cannot be created is refused");
    fuzzCheck(::access(missing.c_str(), F_OK) != 0, "nothing is written when the report cannot be created");

    const std::string path = vellick::fuzz::ScratchFolder::path() + "/report";
    fuzzCheck(WriteReport(path, rows, keywords, settings, messages) == ReportStatus::Written, "the report is written");
    std::string expected = settings.format == ReportFormat::Csv ? reportHeader(settings.options) : std::string();
    for (const ReportRow& row : rows) {
        fuzzCheck(row.highlighted || row.line->contextState() != ContextState::Loaded, "written rows give up texts");
        expected += reportRowText(*row.line, settings, keywords, messages);
    }
    fuzzCheck(vellick::fuzz::readWhole(path) == expected, "the report holds the header and the rows");
    return 0;
}
