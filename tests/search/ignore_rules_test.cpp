#include "search/ignore_files.h"
#include "search/ignore_rules.h"
#include "support/git_judge.h"
#include "support/process_runner.h"
#include "support/scoped_env.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>

using namespace vellick;
using namespace vellick::test;

TEST(IgnoreGlob, WildcardsStayInsideOnePathSegment)
{
    struct Case {
        const char* pattern;
        const char* path;
        bool matches;
    };
    const Case cases[] = {
        { "*.o", "main.o", true },
        { "*.o", "src/main.o", false },
        { "a?c", "abc", true },
        { "a?c", "a/c", false },
        { "[a-c]x", "bx", true },
        { "[!a-c]x", "bx", false },
        { "[!a-c]x", "/x", false },
        { "[]]", "]", true },
        { "[[:digit:]]*", "7up", true },
        { "[[:nope:]]", "n", false }, // an unknown class name matches nothing
        { "[ab", "a", false }, // so does an unterminated bracket
        { "\\*", "*", true },
        { "\\*", "x", false },
        { "**/lib", "lib", true },
        { "**/lib", "a/b/lib", true },
        { "a/**/b", "a/b", true },
        { "a/**/b", "a/x/y/b", true },
        { "a/**/b", "a/xb", false },
        { "a/**", "a/x/y", true },
        { "a/**", "a", false },
        { "a**b", "a/b", false }, // "**" not filling a segment is one "*"
        { "a**b", "axxb", true },
        { "**", "any/thing", true },
    };
    for (const Case& c : cases)
        EXPECT_EQ(IgnoreGlob(c.pattern).matches(c.path), c.matches) << c.pattern << " on " << c.path;
}

TEST(IgnoreGlob, HostilePatternsTakeLinearTime)
{
    const std::string name(20000, 'a');
    EXPECT_FALSE(IgnoreGlob("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b").matches(name));
    EXPECT_FALSE(IgnoreGlob("**/**/**/**/**/**/**/b").matches(name + "/" + name));
}

TEST(IgnoreRules, LinesReadAsGitReadsThem)
{
    const IgnoreRules rules("# comment\n"
                            "\\#hash\n"
                            "*.log\n"
                            "!keep.log\n"
                            "build/\n"
                            "/top.txt\n"
                            "doc/*.html\n"
                            "blank\\ \n"
                            "trail   \n");
    struct Case {
        const char* path;
        bool folder;
        IgnoreVerdict verdict;
    };
    const Case cases[] = {
        { "# comment", false, IgnoreVerdict::None },
        { "#hash", false, IgnoreVerdict::Ignored },
        { "x/y.log", false, IgnoreVerdict::Ignored },
        { "x/keep.log", false, IgnoreVerdict::Included },
        { "build", true, IgnoreVerdict::Ignored },
        { "build", false, IgnoreVerdict::None }, // a file named like a folders-only pattern
        { "top.txt", false, IgnoreVerdict::Ignored },
        { "sub/top.txt", false, IgnoreVerdict::None }, // anchored
        { "doc/a.html", false, IgnoreVerdict::Ignored },
        { "x/doc/a.html", false, IgnoreVerdict::None }, // an inner "/" anchors too
        { "blank ", false, IgnoreVerdict::Ignored },
        { "trail", false, IgnoreVerdict::Ignored },
    };
    for (const Case& c : cases)
        EXPECT_EQ(rules.verdict(c.path, c.folder), c.verdict) << c.path;
}

TEST(IgnoreStack, DeeperFilesWinAndFallbacksComeLast)
{
    IgnoreStack stack;
    stack.setFallbacks({ IgnoreRules("*.tmp\n!x.cache\n"), IgnoreRules("*.cache\n*.bak\n") });
    stack.push("", IgnoreRules("*.txt\n"));
    stack.push("sub", IgnoreRules("!*.txt\n!*.bak\n"));
    EXPECT_TRUE(stack.ignored("a.txt", false));
    EXPECT_FALSE(stack.ignored("sub/a.txt", false));
    EXPECT_FALSE(stack.ignored("sub/a.bak", false)); // a .gitignore outranks the global file
    EXPECT_TRUE(stack.ignored("a.bak", false));
    EXPECT_FALSE(stack.ignored("x.cache", false)); // info/exclude outranks the global file
    EXPECT_TRUE(stack.ignored("y.cache", false));
    EXPECT_TRUE(stack.ignored("subx/a.txt", false)); // "sub" rules stop at the folder's own paths
    stack.pop();
    EXPECT_TRUE(stack.ignored("sub/a.txt", false));
}

namespace {

// A random tree with random ignore files, and the paths in it in walk order (parents first).
struct GeneratedRepository {
    std::vector<std::string> folders; // "" is the top
    std::vector<std::string> files;
    std::map<std::string, std::string> ignoreFiles; // folder -> .gitignore content
    std::string infoExclude;
    std::string globalExcludes;
};

class RepositoryGenerator {
public:
    explicit RepositoryGenerator(unsigned seed)
        : m_random(seed)
    {
    }

    GeneratedRepository next()
    {
        GeneratedRepository repo;
        repo.folders.push_back("");
        addFolder(repo, "", 0);
        for (const std::string& folder : repo.folders) {
            if (chance(2))
                repo.ignoreFiles[folder] = ignoreFile();
        }
        if (chance(2))
            repo.infoExclude = ignoreFile();
        if (chance(2))
            repo.globalExcludes = ignoreFile();
        return repo;
    }

private:
    bool chance(int oneIn) { return std::uniform_int_distribution<int>(0, oneIn - 1)(m_random) == 0; }
    template <typename T> const T& pick(const std::vector<T>& items)
    {
        return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(m_random)];
    }

    void addFolder(GeneratedRepository& repo, const std::string& folder, int depth)
    {
        static const std::vector<std::string> kNames { "a", "b", "ab", "ba", "a.c", "b.o", "x.log", "keep.log", "build",
            "doc", "Doc", "[x]", "sp ace", "#h", "!bang", "t.txt" };
        const std::string prefix = folder.empty() ? "" : folder + "/";
        std::set<std::string> used;
        const int entries = std::uniform_int_distribution<int>(1, 5)(m_random);
        for (int i = 0; i < entries; ++i) {
            const std::string& name = pick(kNames);
            if (!used.insert(name).second)
                continue;
            if (depth < 3 && chance(3)) {
                repo.folders.push_back(prefix + name);
                addFolder(repo, prefix + name, depth + 1);
            } else {
                repo.files.push_back(prefix + name);
            }
        }
    }

    std::string ignoreFile()
    {
        static const std::vector<std::string> kPatterns { "a", "b", "ab", "*.o", "*.log", "a*", "*a", "?b", "[ab]*",
            "[!a]*", "[a-b].c", "[[:alpha:]]", "**/a", "**/build", "a/**", "a/**/b", "b/**/*.o", "/a", "/b", "/build",
            "build/", "doc/", "a/", "a/b", "b/a.c", "*/a", "a/*", "/*.o", "Doc", "doc", "\\[x]", "[x]", "sp ace",
            "sp\\ ace", "\\#h", "#h", "\\!bang", "!bang", "**", "*", "t.txt   ", "t.txt\\ ", "b/**", "*/*/a", "a/*/b",
            "**/a/**", "ba/", "/ba/ab" };
        std::string content;
        const int lines = std::uniform_int_distribution<int>(1, 6)(m_random);
        for (int i = 0; i < lines; ++i) {
            if (chance(4))
                content += '!';
            content += pick(kPatterns) + "\n";
        }
        return content;
    }

    std::mt19937 m_random;
};

std::string parentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

// What the walk decides: a path is skipped when a folder on its way is ignored (the walk never enters it)
// or when it is ignored itself, each judged by the ignore files of the folders above it.
bool skippedByWalk(const GeneratedRepository& repo, const std::string& path, bool isFolder)
{
    std::vector<std::string> chain; // the folders from the top down to the path's own folder
    for (std::string folder = parentOf(path);; folder = parentOf(folder)) {
        chain.insert(chain.begin(), folder);
        if (folder.empty())
            break;
    }
    std::vector<IgnoreRules> fallbacks;
    fallbacks.emplace_back(repo.infoExclude);
    fallbacks.emplace_back(repo.globalExcludes);
    IgnoreStack stack;
    stack.setFallbacks(std::move(fallbacks));
    for (const std::string& folder : chain) {
        if (!folder.empty() && stack.ignored(folder, true))
            return true;
        const auto file = repo.ignoreFiles.find(folder);
        stack.push(folder, IgnoreRules(file == repo.ignoreFiles.end() ? std::string() : file->second));
    }
    return stack.ignored(path, isFolder);
}

} // namespace

// Generated trees and ignore files, judged by git itself and by the rules: no path may differ.
TEST(IgnoreStack, AgreesWithGitOnGeneratedRepositories)
{
    if (!gitInstalled())
        GTEST_SKIP() << "git is not installed";
    const PrivateGitHome git;
    const TempTree& home = git.home();
    RepositoryGenerator generator(20261207);
    std::size_t compared = 0;
    std::size_t ignoredCount = 0;
    TempTree repository;
    ASSERT_EQ(runProcess({ kGitProgram, "init", "-q", "." }, repository.root()).exitStatus, 0);
    for (int round = 0; round < 60 || compared < 2000; ++round) {
        const GeneratedRepository repo = generator.next();
        const TempTree& tree = repository;
        for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(tree.root())) {
            if (entry.path().filename() != ".git")
                std::filesystem::remove_all(entry.path());
        }
        for (const std::string& folder : repo.folders)
            tree.makeFolder(folder.empty() ? "." : folder);
        for (const std::string& file : repo.files)
            tree.write(file, "x");
        for (const auto& [folder, content] : repo.ignoreFiles)
            tree.write(folder.empty() ? ".gitignore" : folder + "/.gitignore", content);
        tree.write(".git/info/exclude", repo.infoExclude);
        home.write("config/git/ignore", repo.globalExcludes);

        std::vector<std::string> paths(repo.folders.begin() + 1, repo.folders.end());
        paths.insert(paths.end(), repo.files.begin(), repo.files.end());
        for (const auto& entry : repo.ignoreFiles)
            paths.push_back(entry.first.empty() ? ".gitignore" : entry.first + "/.gitignore");
        const std::set<std::string> byGit = ignoredByGit(tree.root(), paths);
        const std::set<std::string> folders(repo.folders.begin(), repo.folders.end());
        for (const std::string& path : paths) {
            const bool expected = byGit.count(path) != 0;
            ASSERT_EQ(skippedByWalk(repo, path, folders.count(path) != 0), expected) << "round " << round << ", path "
                                                                                     << path << "\n.gitignore: " <<
                [&] {
                    const auto it = repo.ignoreFiles.find("");
                    return it == repo.ignoreFiles.end() ? std::string() : it->second;
                }() << "\ninfo/exclude: " << repo.infoExclude << "\nglobal: " << repo.globalExcludes;
            ++compared;
            ignoredCount += expected ? 1 : 0;
        }
    }
    EXPECT_GE(compared, 2000u);
    // Both verdicts must be common, or the comparison proves little.
    EXPECT_GT(ignoredCount, compared / 5);
    EXPECT_LT(ignoredCount, compared * 4 / 5);
}

// The files a walk from inside a repository starts with: the top's and the start folder's .gitignore,
// info/exclude and the global excludes file, which git's user configuration may move.
TEST(IgnoreFiles, PreparedFromTheRepositoryAroundTheStartFolder)
{
    TempTree home;
    const ScopedEnv homeFolder("HOME", home.root());
    const ScopedEnv configFolder("XDG_CONFIG_HOME", home.path("config"));
    home.write("config/git/ignore", "*.bak\n");
    TempTree tree;
    tree.write(".git/info/exclude", "*.tmp\n");
    tree.write(".gitignore", "*.log\nsub/skipped/\n");
    tree.write("sub/.gitignore", "!keep.log\n");
    tree.write("sub/deeper/.gitignore", "*.txt\n"); // below the start: the walk reads it when it gets there

    const IgnoreSetup setup = prepareIgnoreSetup(tree.path("sub"));
    EXPECT_EQ(setup.startBelowTop, "sub");
    EXPECT_TRUE(setup.stack.ignored("sub/a.log", false));
    EXPECT_FALSE(setup.stack.ignored("sub/keep.log", false));
    EXPECT_TRUE(setup.stack.ignored("sub/a.tmp", false));
    EXPECT_TRUE(setup.stack.ignored("sub/a.bak", false));
    EXPECT_TRUE(setup.stack.ignored("sub/skipped", true));
    EXPECT_FALSE(setup.stack.ignored("sub/deeper/a.txt", false));

    home.write(".gitconfig", "[user]\n\tname = x\n[Core]\n\texcludesFile = \"~/mine\"\n");
    home.write("mine", "*.mine\n");
    const IgnoreSetup moved = prepareIgnoreSetup(tree.root());
    EXPECT_EQ(moved.startBelowTop, "");
    EXPECT_TRUE(moved.stack.ignored("a.mine", false));
    EXPECT_FALSE(moved.stack.ignored("a.bak", false));

    TempTree loose; // outside any repository only the tree's own files count
    loose.write(".gitignore", "*.log\n");
    const IgnoreSetup outside = prepareIgnoreSetup(loose.root());
    EXPECT_TRUE(outside.stack.ignored("x.log", false));
    EXPECT_FALSE(outside.stack.ignored("x.mine", false));
}
