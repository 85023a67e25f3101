#pragma once

namespace vellick {

// Registers the images compiled into the program (the window library is static, so they must be asked
// for by name). Safe to call more than once.
void loadResources();

} // namespace vellick
