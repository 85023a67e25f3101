// The INI reader and writer on arbitrary file text: an unchanged document gives its text back byte for byte;
// a value that is set reads back as it was given (line breaks as spaces, cut at a NUL) through a save and a
// new load; every other key keeps its value; a name that cannot be stored changes nothing.
#include "settings/ini_document.h"
#include "settings/profile_file.h"
#include "support/fuzz_check.h"
#include "support/scratch_folder.h"

#include <algorithm>
#include <fuzzer/FuzzedDataProvider.h>
#include <vector>

using namespace vellick;
using vellick::fuzz::fuzzCheck;

namespace {

struct Name {
    std::string section;
    std::string key;
};

// What a stored string reads back as: the text before a NUL, line breaks turned into spaces.
std::string expectedReadBack(std::string_view value)
{
    std::string text(value.substr(0, value.find('\0')));
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

// Names worth looking up: some made up, some taken from the file's own lines.
std::vector<Name> namesToTry(FuzzedDataProvider& input)
{
    std::vector<Name> names { { "Settings", "keys1" }, { "settings", "MAXKEYS" } };
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 6);
    for (std::size_t i = 0; i < count; ++i)
        names.push_back({ input.ConsumeRandomLengthString(20), input.ConsumeRandomLengthString(20) });
    return names;
}

std::vector<std::optional<std::string>> valuesOf(const ProfileFile& file, const std::vector<Name>& names)
{
    std::vector<std::optional<std::string>> values;
    for (const Name& name : names) {
        const auto found = file.findInt(name.section, name.key);
        values.push_back(found ? std::optional(file.getString(name.section, name.key, "", 1u << 20)) : std::nullopt);
    }
    return values;
}

bool sameName(const Name& a, const Name& b)
{
    const auto folded = [](std::string text) {
        std::transform(
            text.begin(), text.end(), text.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
        return text;
    };
    return folded(std::string(dropBlanks(a.section))) == folded(std::string(dropBlanks(b.section)))
        && folded(std::string(dropBlanks(a.key))) == folded(std::string(dropBlanks(b.key)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::vector<Name> names = namesToTry(input);
    const Name target = names[input.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)];
    const bool asInt = input.ConsumeBool();
    const int number = input.ConsumeIntegral<int>();
    const std::string value = input.ConsumeRandomLengthString(400);
    const std::string text = input.ConsumeRemainingBytesAsString();

    fuzzCheck(IniDocument(text).text() == text, "an unchanged document gives its text back");
    const std::string path = vellick::fuzz::ScratchFolder::write("vellick.ini", text);
    ProfileFile file(path);
    fuzzCheck(file.load() == FileReadStatus::Read && file.text() == text, "the file reads as it is");
    const auto before = valuesOf(file, names);

    const bool stored
        = asInt ? file.setInt(target.section, target.key, number) : file.setString(target.section, target.key, value);
    if (!stored) {
        fuzzCheck(file.text() == text, "a name that cannot be stored changes nothing");
        return 0;
    }
    fuzzCheck(file.save(), "the settings file can be replaced");
    ProfileFile reread(path);
    fuzzCheck(reread.load() == FileReadStatus::Read && reread.text() == file.text(), "a save writes the document");
    if (asInt)
        fuzzCheck(reread.getInt(target.section, target.key, number ^ 1) == number, "an integer reads back");
    else
        fuzzCheck(reread.getString(target.section, target.key, "-", 1u << 20) == expectedReadBack(value),
            "a string reads back as it was given");

    const auto after = valuesOf(reread, names);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!sameName(names[i], target))
            fuzzCheck(after[i] == before[i], "setting one key leaves every other key alone");
    }
    return 0;
}
