#pragma once

#include <QString>

namespace vellick {

// The user manual that ships with the program (docs/manual.html), opened in the desktop's browser.
class HelpManual {
public:
    enum Topic { Contents, UsingHelp };

    // Where the manual lies: installed beside the program's share folder, next to the program, or in the
    // source tree the program was built from. Empty when there is none.
    static QString path();
    // Opens the manual at a topic; false when there is no manual or nothing could open it.
    static bool open(Topic topic);
};

} // namespace vellick
