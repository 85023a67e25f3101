#include "search/search_request.h"

#include "base/paths.h"
#include "search/regex_matcher.h"
#include "search/text_rules.h"

#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace vellick {

namespace {

bool keywordsAreValid(const std::string& text, uint32_t flags)
{
    if (flags & WholePhrase)
        return isValidKeyword(text);
    for (std::string_view word : splitWords(cutText(text, kMaxKeywordText + 1))) {
        if (!isValidKeyword(word))
            return false;
    }
    return true;
}

uint32_t modeFlag(MatchMode mode)
{
    switch (mode) {
    case MatchMode::AllWords:
        return AllWords;
    case MatchMode::AnyWord:
        return AnyWord;
    default:
        return WholePhrase;
    }
}

std::string folderMessage(const std::string& folder)
{
    std::string message = kFolderNotFoundFormat;
    message.replace(message.find("%s"), 2, folder);
    return message;
}

} // namespace

std::optional<std::string> resolveFolder(const std::string& folderText, const std::string& currentFolder)
{
    std::string path = expandHome(folderText);
    if (path.empty() || path.front() != '/') {
        const std::optional<std::string> start
            = currentFolder.empty() ? currentDirectory() : std::optional<std::string>(currentFolder);
        if (!start)
            return std::nullopt;
        path = path.empty() ? *start : joinPath(*start, path);
    }
    // A folder the walk could enter: a directory with search permission.
    struct stat status { };
    if (::stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || ::access(path.c_str(), X_OK) != 0)
        return std::nullopt;
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved)
        return std::nullopt;
    return std::string(resolved.get());
}

std::optional<std::string> resolveFolders(
    const std::string& folderText, const std::string& currentFolder, std::vector<std::string>& folders)
{
    const auto isFolder = [&](const std::string& text) { return resolveFolder(text, currentFolder).has_value(); };
    folders.clear();
    for (const std::string& text : splitFolderText(folderText, isFolder)) {
        std::optional<std::string> folder = resolveFolder(text, currentFolder);
        if (!folder)
            return text;
        folders.push_back(std::move(*folder));
    }
    if (folders.empty()) // only separators: the current folder, as an empty text
        return resolveFolders({}, currentFolder, folders);
    return std::nullopt;
}

SearchRequest prepareSearch(const PanelInput& input)
{
    SearchRequest request;
    SearchCriteria criteria;
    criteria.listedFilesMode = input.listedFilesMode;
    criteria.scope = input.scope;
    criteria.keywordText = trimText(cutText(input.keywordText, kMaxKeywordText));
    criteria.folder = trimText(input.folder);
    criteria.filePatterns = trimText(cutText(input.filePatterns, kMaxFilePatternText));
    if (criteria.filePatterns.empty()) {
        criteria.filePatterns = "*.*";
        request.patternsDefaulted = true;
    }

    // A folder text over the limit is refused whole: a cut one would name another folder.
    if (criteria.folder.size() > kMaxFolderText) {
        request.message = folderMessage(criteria.folder);
        return request;
    }
    if (auto missing = resolveFolders(criteria.folder, input.currentFolder, criteria.rootFolders)) {
        request.message = folderMessage(*missing);
        return request;
    }
    criteria.rootFolder = criteria.rootFolders.front();
    if (criteria.folder.empty())
        criteria.folder = criteria.rootFolder;
    request.currentFolder = criteria.rootFolder;

    if (!input.matchCase)
        criteria.flags |= IgnoreCase;
    if (input.subFolders)
        criteria.flags |= SubFolders;
    if (input.regex) {
        criteria.flags |= Regex;
    } else if (hasSeveralWords(criteria.keywordText)) {
        criteria.flags |= modeFlag(input.matchMode);
        request.matchModeRead = true;
    }

    if (input.regex) {
        if (auto error = regexError(criteria.keywordText)) {
            request.message = std::move(*error);
            return request;
        }
    } else if (!keywordsAreValid(criteria.keywordText, criteria.flags)) {
        request.message = (criteria.flags & WholePhrase) ? kBadPhraseMessage : kBadWordMessage;
        return request;
    }
    if (input.wholeWord && !(criteria.flags & WholePhrase))
        criteria.flags |= WholeWord;
    if (input.unicodeAware)
        criteria.flags |= UnicodeAware;
    request.criteria = std::move(criteria);
    return request;
}

} // namespace vellick
