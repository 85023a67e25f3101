#include "results/cline.h"

#include <algorithm>

namespace vellick {

void CLine::clearHits()
{
    m_hits.clear();
    m_contextState = ContextState::NotLoaded;
}

void CLine::appendHit(const Hit& hit)
{
    m_hits.push_back({ hit.offset, hit.line, hit.length, hit.pattern, 0, {} });
}

std::array<bool, 100> CLine::keywordsHit() const
{
    std::array<bool, 100> flags {};
    for (const HitEntry& hit : m_hits) {
        if (hit.keyword < flags.size())
            flags[hit.keyword] = true;
    }
    return flags;
}

void CLine::setContexts(std::vector<HitText> texts)
{
    for (std::size_t i = 0; i < m_hits.size(); ++i) {
        HitText text = i < texts.size() ? std::move(texts[i]) : HitText {};
        m_hits[i].context = std::move(text.text);
        m_hits[i].contextPosition = text.position;
    }
    m_contextState = ContextState::Loaded;
}

void CLine::dropContexts()
{
    if (m_contextState != ContextState::Loaded)
        return;
    for (HitEntry& hit : m_hits)
        std::string().swap(hit.context);
    m_contextState = ContextState::NotLoaded;
}

namespace {
std::size_t memberNameStart(std::string_view member)
{
    const std::size_t slash = member.rfind('/');
    const std::size_t nested = member.rfind(kMemberSeparator);
    const std::size_t afterSlash = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t afterNested = nested == std::string_view::npos ? 0 : nested + kMemberSeparator.size();
    return std::max(afterSlash, afterNested);
}
} // namespace

std::string_view memberName(std::string_view member)
{
    return member.substr(memberNameStart(member));
}

std::string_view CLine::fileName() const
{
    if (isMember())
        return memberName(inside->member);
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
}

std::string_view CLine::folder() const
{
    if (isMember())
        return inside->memberFolder;
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(0, slash);
}

std::string CLine::shownPath() const
{
    if (!isMember())
        return path;
    std::string shown = path;
    shown.append(kMemberSeparator).append(inside->member);
    return shown;
}

void CLine::setInside(ContainerKind container, std::string member, FileStatus containerStatus, bool cutAtLimit)
{
    if (container == ContainerKind::None) {
        inside.reset();
        return;
    }
    InsideContainer where { container, std::move(member), {}, containerStatus, cutAtLimit };
    if (!where.member.empty()) {
        // The member's folder inside, without the "/" or separator that ends it.
        const std::size_t nameStart = memberNameStart(where.member);
        std::string_view folderInside = std::string_view(where.member).substr(0, nameStart);
        if (folderInside.ends_with('/'))
            folderInside.remove_suffix(1);
        else if (folderInside.ends_with(kMemberSeparator))
            folderInside.remove_suffix(kMemberSeparator.size());
        // "ARCHIVE-PATH ›" even at the archive's top, so that it never reads as a folder of its own.
        where.memberFolder = path;
        where.memberFolder.append(kMemberSeparator).append(folderInside);
        if (folderInside.empty())
            where.memberFolder.pop_back();
    }
    inside = std::move(where);
}

} // namespace vellick
