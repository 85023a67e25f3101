#pragma once

#include <ostream>

namespace vellick {

class FileTypeService;
class OutputWriter;

// vellick-cli: parses the command line, runs the search over each folder and prints the found files as
// they are found. Returns the exit status: 0 when a file was found, 1 when none, 2 on an error (bad input,
// a list or report that cannot be read or written, a failed write to `out`), 130 after Ctrl-C.
int runCli(int argc, const char* const* argv, OutputWriter& out, std::ostream& err, FileTypeService* fileTypes);

} // namespace vellick
