#pragma once

#include "platform/shell_result.h"

#include <string>
#include <vector>

namespace vellick {

enum class ReplaceAnswer { Yes, YesToAll, No, Cancel };

// Asked before a copy replaces an existing file. The window shows a message box; tests answer from a list.
class ReplaceQuestion {
public:
    virtual ~ReplaceQuestion() = default;
    virtual ReplaceAnswer askReplace(const std::string& target) = 0;
};

// Remembers "Yes to All" for the rest of one Copy To command, across its batches.
class ReplaceDecision {
public:
    explicit ReplaceDecision(ReplaceQuestion& question)
        : m_question(question)
    {
    }
    ReplaceAnswer decide(const std::string& target)
    {
        if (m_replaceAll)
            return ReplaceAnswer::Yes;
        const ReplaceAnswer answer = m_question.askReplace(target);
        m_replaceAll = answer == ReplaceAnswer::YesToAll;
        return answer;
    }

private:
    ReplaceQuestion& m_question;
    bool m_replaceAll = false;
};

// Copies found files. A copy is written under a temporary name beside its target and only then renamed
// into place, so a failed or cancelled copy never leaves a truncated file, nor loses the one it would
// have replaced. Sources are copied in order; the first failure or a Cancel ends the call.
class FileCopier {
public:
    virtual ~FileCopier() = default;
    // One file to a chosen path.
    virtual ShellResult copyFile(const std::string& source, const std::string& target, ReplaceDecision& replace) = 0;
    // Files into a folder, each keeping its name.
    virtual ShellResult copyToFolder(
        const std::vector<std::string>& sources, const std::string& folder, ReplaceDecision& replace)
        = 0;
};

} // namespace vellick
