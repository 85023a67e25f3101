#pragma once

#include "results/vellick_doc.h"

#include <vector>

namespace vellick::test {

// A document view that records the hints and row removals it is told about.
class HintRecorder : public vellick::DocumentObserver {
public:
    void onDocumentUpdate(uint32_t hint) override { hints.push_back(hint); }
    void onRowRemoved(int row) override { removedRows.push_back(row); }

    int count(uint32_t hint) const
    {
        int n = 0;
        for (uint32_t h : hints)
            n += h == hint ? 1 : 0;
        return n;
    }

    std::vector<uint32_t> hints;
    std::vector<int> removedRows;
};

} // namespace vellick::test
