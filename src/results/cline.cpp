#include "results/cline.h"

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

std::string_view CLine::fileName() const
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
}

std::string_view CLine::folder() const
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(0, slash);
}

} // namespace vellick
