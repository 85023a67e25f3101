#pragma once

#include <ostream>

namespace vellick {

class FileTypeService;

// vellick-cli: parses the command line, runs the search and prints the found files. Returns the exit
// status: 0 when a file was found, 1 when none, 2 on bad input.
int runCli(int argc, char** argv, std::ostream& out, std::ostream& err, FileTypeService* fileTypes);

} // namespace vellick
