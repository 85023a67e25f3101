// Which files a search reads and lists under each scope setting, alone and together, on generated trees:
// the run's rows against an independent choice made here (a standard-library walk, fnmatch(3) for the
// wildcards, git itself for what its ignore files ignore, then the keyword check).

#include "support/git_judge.h"
#include "support/process_runner.h"
#include "support/scoped_env.h"
#include "support/temp_tree.h"
#include "support/tree_search.h"

#include <algorithm>
#include <filesystem>
#include <fnmatch.h>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <sstream>

using namespace vellick;
using namespace vellick::test;

namespace {

namespace fs = std::filesystem;

constexpr long long kNow = 1800000000;
constexpr long long kDay = 24 * 60 * 60;

struct GeneratedFile {
    std::size_t size = 0;
    long long modified = 0;
    bool binary = false; // a byte of 0x80 or more among the first 256
    bool holdsKeyword = false;
};

// A random tree below the top of a repository: folders "one" (always with "one/src") and "two" with trees
// of their own, files of several kinds, sizes and times, and ignore files here and there.
class TreeGenerator {
public:
    TreeGenerator(unsigned seed, const TempTree& tree)
        : m_random(seed)
        , m_tree(tree)
    {
        for (const char* folder : { "", "one", "one/src", "two" })
            addFolder(folder, 1);
        tree.write(".git/info/exclude", number(0, 1) ? "*.log\n" : "");
    }

    std::map<std::string, GeneratedFile> files;

private:
    int number(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    template <std::size_t N> std::string pick(const char* const (&items)[N]) { return items[number(0, N - 1)]; }

    void addFolder(const std::string& folder, int depth)
    {
        static const char* const kFolders[] { "src", "lib", "build", "doc", "node_modules", "x.egg-info", "Src" };
        static const char* const kIgnores[] { "*.o", "build/", "!keep.o", "/two/lib", "doc/*.txt", "*_test.c",
            "src/**/b.h", "a.*", "!a.c", "x.egg-info" };
        const std::string prefix = folder.empty() ? "" : folder + "/";
        m_tree.makeFolder(folder.empty() ? "." : folder);
        for (int i = number(1, 6); i > 0; --i)
            addFile(prefix);
        if (number(0, 2) == 0)
            m_tree.write(prefix + ".gitignore", pick(kIgnores) + "\n" + pick(kIgnores) + "\n");
        for (int i = depth < 3 ? number(0, 3) : 0; i > 0; --i)
            addFolder(prefix + pick(kFolders), depth + 1);
    }

    void addFile(const std::string& prefix)
    {
        static const char* const kNames[] { "a.c", "a.h", "b.h", "a_test.c", "keep.o", "main.o", "notes.txt", "run.log",
            "data.bin", "README", "Makefile", "B.C" };
        const std::string path = prefix + pick(kNames);
        std::string content(static_cast<std::size_t>(number(0, 3000)), 'x');
        for (std::size_t at = 40; at < content.size(); at += 41)
            content[at] = '\n';
        if (!content.empty() && number(0, 3) == 0)
            content[static_cast<std::size_t>(
                number(0, static_cast<int>(std::min<std::size_t>(content.size(), 256)) - 1))]
                = static_cast<char>(0xE9);
        GeneratedFile& file = files[path];
        file.holdsKeyword = number(0, 1) == 0;
        if (file.holdsKeyword)
            content.insert(static_cast<std::size_t>(number(0, static_cast<int>(content.size()))), " needle ");
        file.binary = content.find(static_cast<char>(0xE9)) < 256; // the keyword may have pushed it out
        file.size = content.size();
        file.modified = kNow - number(0, 9) * kDay;
        m_tree.write(path, content);
        m_tree.setModified(path, file.modified);
    }

    std::mt19937 m_random;
    const TempTree& m_tree;
};

bool wildcard(const std::string& pattern, const std::string& text)
{
    return ::fnmatch(pattern.c_str(), text.c_str(), FNM_CASEFOLD) == 0;
}

// File names: a pattern ending in ".*" also matches the names the pattern without it matches.
bool nameMatches(const std::string& pattern, const std::string& name)
{
    return wildcard(pattern, name)
        || (pattern.ends_with(".*") && wildcard(pattern.substr(0, pattern.size() - 2), name));
}

// Every path below the top (folders too, not .git) that git says it ignores, or that lies in such a folder.
std::set<std::string> ignoredByGitBelow(const std::string& top)
{
    std::vector<std::string> paths;
    for (auto it = fs::recursive_directory_iterator(top); it != fs::recursive_directory_iterator(); ++it) {
        const std::string path = fs::relative(it->path(), top).string();
        if (path == ".git") {
            it.disable_recursion_pending();
            continue;
        }
        paths.push_back(path);
    }
    return ignoredByGit(top, paths);
}

struct ScopeCase {
    const char* name;
    std::string folders = "."; // below the top, split at ";"
    std::string patterns = "*";
    SearchScope scope;
};

// The files the case's settings choose, found by a walk of the standard library: the test's own reading of
// each setting, then the keyword check (or its absence, for files without hits).
std::vector<std::string> expectedRows(const ScopeCase& c, const std::string& top,
    const std::map<std::string, GeneratedFile>& files, const std::set<std::string>& ignored)
{
    const SearchScope& scope = c.scope;
    std::vector<std::string> included;
    std::vector<std::string> excluded;
    std::istringstream patterns(c.patterns);
    for (std::string pattern; std::getline(patterns, pattern, ';');)
        (pattern.front() == '!' ? excluded : included).push_back(pattern.front() == '!' ? pattern.substr(1) : pattern);
    if (included.empty())
        included.push_back("*");
    std::vector<std::string> rows;
    std::istringstream folders(c.folders);
    for (std::string folder; std::getline(folders, folder, ';');) {
        const fs::path start = folder == "." ? fs::path(top) : fs::path(top) / folder;
        for (auto it = fs::recursive_directory_iterator(start); it != fs::recursive_directory_iterator(); ++it) {
            const std::string name = it->path().filename().string();
            const std::string below = fs::relative(it->path(), start).string();
            const std::string path = fs::relative(it->path(), top).string();
            if (it->is_directory()) {
                const bool out = name.front() == '.' || (scope.gitignore && ignored.count(path))
                    || std::any_of(
                        scope.excludedFolders.begin(), scope.excludedFolders.end(), [&](const std::string& p) {
                            return wildcard(p, p.find('/') == std::string::npos ? name : below);
                        });
                if (out)
                    it.disable_recursion_pending();
                continue;
            }
            if (name.front() == '.')
                continue; // hidden: the ignore files
            const GeneratedFile& file = files.at(path);
            const auto matches = [&](const std::string& p) { return nameMatches(p, name); };
            const bool chosen = std::any_of(included.begin(), included.end(), matches)
                && std::none_of(excluded.begin(), excluded.end(), matches) && !(scope.gitignore && ignored.count(path))
                && static_cast<int64_t>(file.size) >= scope.minSize.value_or(0)
                && static_cast<int64_t>(file.size) <= scope.maxSize.value_or(INT64_MAX)
                && file.modified >= scope.modifiedAfter.value_or(INT64_MIN)
                && file.modified < scope.modifiedBefore.value_or(INT64_MAX) && (scope.binaryFiles || !file.binary);
            if (chosen && file.holdsKeyword != scope.filesWithoutHits)
                rows.push_back(path);
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// Each case names only the settings it changes; the others keep their defaults.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
const ScopeCase kCases[] = {
    { "defaults" },
    { "default patterns", ".", "*.*" },
    { "patterns with an exclusion", ".", "*.c;*.h;!*_test.c" },
    { "only exclusions", ".", "!*.o;!*.log" },
    { "excluded folder names", ".", "*", { .excludedFolders = { "build", "*.egg-info" } } },
    { "excluded folder path", ".", "*", { .excludedFolders = { "one/src", "two/*/lib" } } },
    { "at least", ".", "*", { .minSize = 1500 } },
    { "at most", ".", "*", { .maxSize = 1500 } },
    { "modified after", ".", "*", { .modifiedAfter = kNow - 4 * kDay } },
    { "modified before", ".", "*", { .modifiedBefore = kNow - 4 * kDay } },
    { "no binary files", ".", "*", { .binaryFiles = false } },
    { "gitignore", ".", "*", { .gitignore = true } },
    { "files without hits", ".", "*", { .filesWithoutHits = true } },
    { "several folders", "two;one/src;one" },
    { "everything at once", "one;two", "*.c;*.h;*.o;!a*",
        { { "node_modules", "two/src" }, 200, 2800, kNow - 8 * kDay, kNow - kDay, false, true, true } },
};
#pragma GCC diagnostic pop

} // namespace

TEST(ScopeSelection, EachSettingAloneAndTogetherChoosesTheFilesAnIndependentWalkChooses)
{
    if (!gitInstalled())
        GTEST_SKIP() << "git is not installed";
    const PrivateGitHome git;
    const TempTree& home = git.home();
    home.write("config/git/ignore", "notes.txt\n");
    std::size_t rowsCompared = 0;
    for (unsigned seed = 1; seed <= 6; ++seed) {
        TempTree tree;
        ASSERT_EQ(runProcess({ kGitProgram, "init", "-q", "." }, tree.root()).exitStatus, 0);
        const std::map<std::string, GeneratedFile> files = TreeGenerator(seed, tree).files;
        const std::set<std::string> ignored = ignoredByGitBelow(tree.root());
        for (const ScopeCase& c : kCases) {
            PanelInput panel = TreeSearch::panel({}, "needle");
            std::string folderText;
            std::istringstream folders(c.folders);
            for (std::string folder; std::getline(folders, folder, ';');)
                folderText += (folderText.empty() ? "" : ";") + tree.path(folder);
            panel.folder = folderText;
            panel.filePatterns = c.patterns;
            panel.scope = c.scope;
            TreeSearch search(2);
            ASSERT_TRUE(search.run(panel)) << search.message();
            std::vector<std::string> rows = search.rows(tree.root());
            EXPECT_EQ(static_cast<std::size_t>(search.searchRun().foundCount()), rows.size());
            // Several folders: each one's rows before the next one's.
            if (c.folders == "two;one/src;one") {
                const auto firstOfOne
                    = std::find_if(rows.begin(), rows.end(), [](auto& r) { return r.starts_with("one/"); });
                EXPECT_TRUE(std::all_of(firstOfOne, rows.end(), [](auto& r) { return r.starts_with("one/"); }));
            }
            std::sort(rows.begin(), rows.end());
            const std::vector<std::string> expected = expectedRows(c, tree.root(), files, ignored);
            ASSERT_EQ(rows, expected) << "seed " << seed << ", case: " << c.name;
            rowsCompared += rows.size();
        }
    }
    EXPECT_GT(rowsCompared, 300u);
}

// A folder text names several folders at ";", unless it names one folder whole; a missing one is named.
TEST(ScopeSelection, FolderTextNamesFoldersInOrder)
{
    TempTree tree;
    tree.makeFolder("a");
    tree.makeFolder("b");
    tree.makeFolder("c;d");
    PanelInput panel = TreeSearch::panel({}, "needle");
    panel.currentFolder = tree.root();
    const auto roots = [&](const std::string& text) {
        panel.folder = text;
        const SearchRequest request = prepareSearch(panel);
        if (!request.criteria)
            return request.message;
        std::string listed;
        for (const std::string& root : request.criteria->rootFolders)
            listed += fs::relative(root, tree.root()).string() + "|";
        return listed + " first " + fs::relative(request.criteria->rootFolder, tree.root()).string();
    };
    EXPECT_EQ(roots("b; a"), "b|a| first b");
    EXPECT_EQ(roots("c;d"), "c;d| first c;d");
    EXPECT_EQ(roots("a;c;d;b"), "Directory \"c\" not found");
    EXPECT_EQ(roots("a;;b;"), "a|b| first a");
    EXPECT_EQ(roots(""), ".| first .");
}

// Re-checking listed files takes them as listed (the walk's settings chose them already) and applies what
// the scope changes in the scan: binary files skipped, files without hits kept.
TEST(ScopeSelection, ListedFilesReCheckAppliesOnlyTheScanSettings)
{
    TempTree tree;
    tree.write("a.txt", "a needle");
    tree.write("b.txt", "nothing");
    tree.write("c.bin", "\xE9 needle");
    tree.write("d.log", "another needle");
    TreeSearch search;
    PanelInput panel = TreeSearch::panel(tree.root(), "needle");
    ASSERT_TRUE(search.run(panel));
    ASSERT_EQ(search.rows(tree.root()), (std::vector<std::string> { "a.txt", "c.bin", "d.log" }));

    panel.listedFilesMode = true;
    panel.filePatterns = "!*.log";
    panel.scope.maxSize = 1;
    panel.scope.binaryFiles = false;
    ASSERT_TRUE(search.run(panel));
    EXPECT_EQ(search.rows(tree.root()), (std::vector<std::string> { "a.txt", "d.log" }));

    tree.write("d.log", "no more");
    panel.scope.filesWithoutHits = true;
    ASSERT_TRUE(search.run(panel));
    EXPECT_EQ(search.rows(tree.root()), std::vector<std::string> { "d.log" });
    EXPECT_EQ(search.searchRun().foundCount(), 1);
    EXPECT_EQ(search.searchRun().checkedCount(), 2u);
}
