#pragma once

#include "results/vellick_doc.h"

#include <vector>

namespace vellick::test {

// A document view that records the hints and row removals it is told about.
class HintRecorder : public vellick::DocumentObserver {
public:
    void onDocumentUpdate(DocumentHint hint) override { hints.push_back(hint); }
    void onRowRemoved(int row) override { removedRows.push_back(row); }

    int count(vellick::DocumentHint hint) const
    {
        int n = 0;
        for (vellick::DocumentHint h : hints)
            n += h == hint ? 1 : 0;
        return n;
    }

    std::vector<vellick::DocumentHint> hints;
    std::vector<int> removedRows;
};

} // namespace vellick::test
