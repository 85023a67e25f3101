#include "search/search_request.h"

#include "search/regex_matcher.h"
#include "search/text_rules.h"

#include <cerrno>
#include <cstdlib>
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

std::optional<std::string> currentDirectory()
{
    std::string buffer(4096, '\0');
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE)
            return std::nullopt;
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return buffer;
}

std::string expandHome(const std::string& folder)
{
    if (folder != "~" && folder.rfind("~/", 0) != 0)
        return folder;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + folder.substr(1);
}

SearchRequest prepareSearch(const PanelInput& input)
{
    SearchRequest request;
    SearchCriteria criteria;
    criteria.listedFilesMode = input.listedFilesMode;
    criteria.keywordText = trimText(cutText(input.keywordText, kMaxKeywordText));
    criteria.folder = trimText(cutText(input.folder, kMaxFolderText));
    criteria.filePatterns = trimText(cutText(input.filePatterns, kMaxFilePatternText));
    if (criteria.filePatterns.empty()) {
        criteria.filePatterns = "*.*";
        request.patternsDefaulted = true;
    }

    if (criteria.folder.empty()) {
        criteria.folder = currentDirectory().value_or(".");
    } else if (chdir(expandHome(criteria.folder).c_str()) != 0) {
        request.message = folderMessage(criteria.folder);
        return request;
    }

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
