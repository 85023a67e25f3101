#pragma once

#include "search/file_scanner.h"
#include "search/keyword_list.h"
#include "search/scan_plan.h"

#include <fcntl.h>
#include <string>

namespace vellick::test {

// A keyword text and flags made into the scanner a search run would use, for tests that scan many files
// with one request.
class PlanScanner {
public:
    PlanScanner(const std::string& keywordText, uint32_t flags, int maxKeys = 1024)
        : m_keywords(keywordText, flags)
        , m_plan(m_keywords, maxKeys)
        , m_scanner(m_plan)
    {
    }

    const ScanResult& scan(const std::string& path)
    {
        m_scanner.scan(AT_FDCWD, path.c_str(), m_result);
        return m_result;
    }

private:
    KeywordList m_keywords;
    ScanPlan m_plan;
    FileScanner m_scanner;
    ScanResult m_result;
};

} // namespace vellick::test
