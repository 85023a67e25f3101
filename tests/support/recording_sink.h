#pragma once

#include "results/message_sink.h"

#include <string>
#include <vector>

namespace vellick::test {

// Keeps every message the core would have shown.
class RecordingSink : public MessageSink {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }

    std::vector<std::string> messages;
};

} // namespace vellick::test
