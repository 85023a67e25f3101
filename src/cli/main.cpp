#include "cli/cli_app.h"
#include "platform/linux/mime_file_types.h"

#include <iostream>
#include <sys/resource.h>

int main(int argc, char** argv)
{
    // A deep tree holds one open descriptor per level of the walk.
    rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    std::ios::sync_with_stdio(false);
    vellick::MimeFileTypes fileTypes;
    return vellick::runCli(argc, argv, std::cout, std::cerr, &fileTypes);
}
