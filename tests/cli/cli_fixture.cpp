#include "cli/cli_fixture.h"

#include <regex>

namespace vellick::test {

std::string replaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
    return text;
}

CliFixture::CliFixture()
{
    writeTree();
    writeOddNames();
    m_tree.write("list.txt",
        "alpha.txt\n" + m_tree.path("tree/notes/readme.md")
            + "\r\nmissing.txt\n\nBeta.TXT\nnotes/pipe.txt\n/dev/zero\nbig.log\n");
    m_tree.setMode("", 0755); // user 65534 must reach the tree
}

void CliFixture::writeTree() const
{
    const std::vector<std::pair<std::string, std::string>> files {
        { "tree/alpha.txt", "The quick brown fox\njumps over the lazy dog.\nfox FOX Fox foxes\n" },
        { "tree/Beta.TXT", "no match here\n" },
        { "tree/data.bin",
            std::string("\x80\x81"
                        "fox\0f\0ox dog",
                15) },
        { "tree/empty.txt", "" },
        { "tree/notes/readme.md", "see the fox and\tthe dog\n" },
        { "tree/notes/deep/wide.txt",
            std::string("\xFF\xFE"
                        "f\0o\0x\0 \0d\0o\0g\0",
                16) },
        { "tree/notes/.hidden.txt", "fox dog\n" },
        { "tree/.git/config", "fox dog\n" },
    };
    for (const auto& [path, content] : files) {
        m_tree.write(path, content);
        m_tree.setModified(path, kModified);
    }
    std::string big;
    while (big.size() < 51198)
        big += "....\n";
    big.resize(51198); // "fox" straddles the end of the first 51200-byte read
    big += "fox\ndog\n";
    m_tree.write("tree/big.log", big);
    m_tree.setModified("tree/big.log", kModified);
    m_tree.makeSymlink("alpha.txt", "tree/link.txt");
    m_tree.makeSymlink("..", "tree/notes/up"); // a loop
    m_tree.makeSymlink("notes", "tree/notes-link");
    m_tree.makeFifo("tree/notes/pipe.txt");
    m_tree.makeSocket("tree/notes/socket.txt");
}

void CliFixture::writeOddNames() const
{
    for (const char* name :
        { "quote\"name.txt", "back\\slash.txt", "new\nline.txt", "tab\there.txt", "ctl\x01.txt", "bad\xFFutf8.txt",
            "caf\xC3\xA9.txt", "\xED\xA0\x80surrogate.txt", "\xC0\xAFoverlong.txt", "cut\xE2\x82.txt" }) {
        const std::string path = std::string("odd/") + name;
        m_tree.write(path, "fox\n");
        m_tree.setModified(path, kModified);
    }
}

ProcessResult CliFixture::run(const std::vector<std::string>& args) const
{
    std::vector<std::string> argv { VELLICK_CLI_PATH };
    argv.insert(argv.end(), args.begin(), args.end());
    return runProcess(argv, m_tree.path("tree"));
}

std::string CliFixture::transcript(const std::vector<std::string>& args) const
{
    const ProcessResult result = run(args);
    std::string text = "$ vellick-cli";
    for (const std::string& arg : args)
        text += " '" + arg + "'";
    text += "\n" + result.out + "[stderr]\n" + result.err + "[exit " + std::to_string(result.exitStatus) + "]\n";
    text = replaceAll(text, m_tree.root(), "<ROOT>");
    return std::regex_replace(text, std::regex("time spent: [0-9]+:[0-9]{2}:[0-9]{2}"), "time spent: <TIME>");
}

} // namespace vellick::test
