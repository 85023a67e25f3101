#include "base/open_file_limit.h"
#include "cli/cli_app.h"
#include "cli/module_file_types.h"
#include "cli/output_writer.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <new>
#include <system_error>
#include <unistd.h>

namespace {

// A standard descriptor that was closed gets a placeholder, so that no file the search opens takes its
// number: a closed stdout then fails every write (EBADF) instead of writing into that file.
void reserveStandardDescriptors()
{
    for (const int fd : { STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO }) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int placeholder = ::open("/dev/null", fd == STDERR_FILENO ? O_WRONLY : O_RDONLY);
            if (placeholder >= 0 && placeholder != fd) {
                ::dup2(placeholder, fd);
                ::close(placeholder);
            }
        }
    }
}

} // namespace

// Failures of the system (out of memory, no threads) end vellick-cli with a message and status 2 rather than
// an abort; a closed standard output is a write error (EPIPE), not a signal, so the report is still written.
int main(int argc, char** argv)
{
    reserveStandardDescriptors();
    std::signal(SIGPIPE, SIG_IGN);
    try {
        vellick::raiseOpenFileLimit();
        std::ios::sync_with_stdio(false);
        vellick::OutputWriter out(STDOUT_FILENO);
        vellick::ModuleFileTypes fileTypes(std::cerr);
        return vellick::runCli(argc, argv, out, std::cerr, &fileTypes);
    } catch (const std::bad_alloc&) {
        std::cerr << "vellick-cli: out of memory\n";
    } catch (const std::system_error& error) {
        std::cerr << "vellick-cli: " << error.what() << '\n';
    } catch (const std::exception& error) {
        std::cerr << "vellick-cli: " << error.what() << '\n';
    }
    return 2;
}
