// File names with invalid UTF-8, line breaks, leading dashes, spaces, quotes, control bytes and 255 bytes:
// vellick-cli finds them, prints them unmangled, escapes them validly in its --hits JSON, writes them into
// reports as they are and re-checks them from a list.
#include "support/process_runner.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>

using namespace vellick::test;

namespace {

// A strict reader of one JSON value: true when `text` from `pos` on is one, with `pos` moved past it.
// Strings are checked for control bytes, valid escapes and valid UTF-8, and decoded into `lastString`.
class JsonChecker {
public:
    explicit JsonChecker(std::string_view text)
        : m_text(text)
    {
    }

    bool wholeValue() { return value() && m_pos == m_text.size(); }

    std::vector<std::string> strings; // every string met, decoded to UTF-8

private:
    bool value()
    {
        if (m_pos >= m_text.size())
            return false;
        const char c = m_text[m_pos];
        if (c == '{')
            return sequence('}', true);
        if (c == '[')
            return sequence(']', false);
        if (c == '"')
            return string();
        for (const std::string_view literal : { "true", "false" }) {
            if (m_text.substr(m_pos, literal.size()) == literal)
                return m_pos += literal.size(), true;
        }
        const std::size_t start = m_pos;
        while (
            m_pos < m_text.size() && (std::isdigit(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '-'))
            ++m_pos;
        return m_pos > start;
    }

    bool sequence(char close, bool members)
    {
        ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == close)
            return ++m_pos, true;
        for (;;) {
            if (members && !(string() && m_pos < m_text.size() && m_text[m_pos++] == ':'))
                return false;
            if (!value() || m_pos >= m_text.size())
                return false;
            const char next = m_text[m_pos++];
            if (next == close)
                return true;
            if (next != ',')
                return false;
        }
    }

    bool string()
    {
        if (m_pos >= m_text.size() || m_text[m_pos++] != '"')
            return false;
        std::string decoded;
        while (m_pos < m_text.size()) {
            const auto c = static_cast<unsigned char>(m_text[m_pos++]);
            if (c == '"') {
                strings.push_back(decoded);
                return true;
            }
            if (c < 0x20)
                return false;
            if (c != '\\') {
                decoded.push_back(static_cast<char>(c));
                continue;
            }
            if (!escape(decoded))
                return false;
        }
        return false;
    }

    bool escape(std::string& decoded)
    {
        if (m_pos >= m_text.size())
            return false;
        const char c = m_text[m_pos++];
        const std::string_view simple = "\"\\/bfnrt";
        const std::string_view meaning = "\"\\/\b\f\n\r\t";
        if (const std::size_t index = simple.find(c); index != std::string_view::npos) {
            decoded.push_back(meaning[index]);
            return true;
        }
        if (c != 'u' || m_pos + 4 > m_text.size())
            return false;
        const unsigned long code = std::stoul(std::string(m_text.substr(m_pos, 4)), nullptr, 16);
        m_pos += 4;
        if (code >= 0xD800 && code <= 0xDFFF)
            return false; // the names here never need surrogates
        if (code < 0x80) {
            decoded.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            decoded.push_back(static_cast<char>(0xC0 | (code >> 6)));
            decoded.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            decoded.push_back(static_cast<char>(0xE0 | (code >> 12)));
            decoded.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
            decoded.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

bool isValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1
            : (lead >> 5) == 6                 ? 2
            : (lead >> 4) == 14                ? 3
            : (lead >> 3) == 30                ? 4
                                               : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

class OddNamesTest : public testing::Test {
protected:
    ProcessResult cli(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), VELLICK_CLI_PATH);
        return runProcess(arguments, m_tree.root());
    }

    OddNamesTest()
    {
        for (const std::string& name : names())
            m_paths.push_back(m_tree.write("odd/" + name, "a needle in here\n"));
    }

    static std::vector<std::string> names()
    {
        return { "bad\xff\xfe-utf8.txt", "new\nline.txt", "-leading-dash.txt", "--help", "with space.txt",
            "quote\"d 'n' back\\slash.txt",
            "tab\tand\x01"
            "ctrl.txt",
            "caf\xc3\xa9.txt", std::string(251, 'n') + ".txt" };
    }

    TempTree m_tree;
    std::vector<std::string> m_paths;
};

// Standard base64 with padding, decoded.
std::string fromBase64(const std::string& text)
{
    static const std::string kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string bytes;
    uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        const std::size_t digit = kDigits.find(c);
        if (digit == std::string::npos)
            break;
        bits = (bits << 6) | static_cast<uint32_t>(digit);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes.push_back(static_cast<char>((bits >> count) & 0xFF));
        }
    }
    return bytes;
}

} // namespace

TEST_F(OddNamesTest, FoundAndPrintedUnmangled)
{
    const ProcessResult result = cli({ "-d", "odd", "needle" });
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find("9 files found (9 files checked)."), std::string::npos) << result.err;
    for (const std::string& path : m_paths)
        EXPECT_NE(result.out.find(path + "\n"), std::string::npos) << path;
}

TEST_F(OddNamesTest, HitsJsonEscapesThemValidly)
{
    const ProcessResult result = cli({ "-d", "odd", "--hits", "needle" });
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    ASSERT_TRUE(isValidUtf8(result.out));
    std::vector<std::string> decodedPaths;
    std::size_t start = 0;
    for (std::size_t end; (end = result.out.find('\n', start)) != std::string::npos; start = end + 1) {
        JsonChecker json(std::string_view(result.out).substr(start, end - start));
        ASSERT_TRUE(json.wholeValue()) << result.out.substr(start, end - start);
        ASSERT_GE(json.strings.size(), 2u);
        EXPECT_EQ(json.strings[0], "path");
        // A path that is not UTF-8 comes exactly in path_bytes, right after its lossy text.
        const bool hasBytes = json.strings.size() > 3 && json.strings[2] == "path_bytes";
        EXPECT_EQ(hasBytes, json.strings[1].find("\xEF\xBF\xBD") != std::string::npos) << json.strings[1];
        decodedPaths.push_back(hasBytes ? fromBase64(json.strings[3]) : json.strings[1]);
    }
    ASSERT_EQ(decodedPaths.size(), m_paths.size());
    for (const std::string& path : m_paths)
        EXPECT_NE(std::find(decodedPaths.begin(), decodedPaths.end(), path), decodedPaths.end()) << path;
}

TEST_F(OddNamesTest, ReportedAsTheyAre)
{
    const ProcessResult result
        = cli({ "-d", "odd", "--report", "report.txt", "--format", "text", "--include", "path", "needle" });
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const std::string report = readFile(m_tree.path("report.txt"));
    for (const std::string& path : m_paths)
        EXPECT_NE(report.find(path + "\r\n"), std::string::npos) << path;
}

// The list holds one path a line, so every name without a line break can be re-checked from it.
TEST_F(OddNamesTest, ReCheckedFromAList)
{
    std::string list;
    std::size_t listed = 0;
    for (const std::string& path : m_paths) {
        if (path.find('\n') == std::string::npos) {
            list += path + "\n";
            ++listed;
        }
    }
    m_tree.write("list.txt", list);
    const ProcessResult result = cli({ "--listed", "list.txt", "--context", "needle" });
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.err.find(std::to_string(listed) + " files found"), std::string::npos) << result.err;
    for (const std::string& path : m_paths) {
        if (path.find('\n') == std::string::npos) {
            EXPECT_NE(result.out.find(path + "\nline    1:  needle in here\n"), std::string::npos) << path;
        }
    }
}
