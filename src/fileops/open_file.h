#pragma once

#include <optional>
#include <string>

namespace vellick {

class Launcher;

// The "Open With ..." question: the program the user names, or nothing when cancelled.
class ProgramQuestion {
public:
    virtual ~ProgramQuestion() = default;
    virtual std::optional<std::string> askProgram() = 0;
};

inline constexpr const char* kOpenErrorCaption = "Open Error";

// "Unable to open file PATH.\nMake sure the command specified is correct."
std::string openErrorText(const std::string& path);

// Open (ask false) and Open With (ask true) of one file: with its associated application, or, when asked
// for or when there is none, with the program the question names. Returns the message to show when the
// launch failed, nothing when it started or the question was cancelled.
std::optional<std::string> openFile(const std::string& path, bool ask, Launcher& launcher, ProgramQuestion& question);

} // namespace vellick
