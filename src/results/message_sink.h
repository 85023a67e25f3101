#pragma once

#include <string>

namespace vellick {

// Where the core's messages to the user go: the window shows a message box captioned "Vellick",
// vellick-cli prints a line on stderr, tests record them.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void showMessage(const std::string& text) = 0;
};

} // namespace vellick
