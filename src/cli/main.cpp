#include "base/open_file_limit.h"
#include "cli/cli_app.h"
#include "platform/linux/mime_file_types.h"

#include <iostream>

int main(int argc, char** argv)
{
    vellick::raiseOpenFileLimit();
    std::ios::sync_with_stdio(false);
    vellick::MimeFileTypes fileTypes;
    return vellick::runCli(argc, argv, std::cout, std::cerr, &fileTypes);
}
