#include "platform/linux/child_process.h"
#include "platform/linux/system_printer.h"
#include "support/private_xdg.h"
#include "support/scoped_env.h"

#include <chrono>
#include <csignal>
#include <dirent.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vellick {
namespace {

using test::readFile;
using test::ScopedEnv;
using test::shellOutput;
using test::TempTree;

constexpr const char* kBackend = "/usr/lib/cups/backend/cups-pdf";
constexpr const char* kPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";

std::set<std::string> pdfsIn(const std::string& folder)
{
    std::set<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    while (dirent* entry = dir ? ::readdir(dir) : nullptr) {
        if (std::string_view(entry->d_name).ends_with(".pdf"))
            names.insert(folder + "/" + entry->d_name);
    }
    if (dir)
        ::closedir(dir);
    return names;
}

// A print server of the test's own, listening on a socket in a temporary folder, with a PDF queue.
class PrivateCups {
public:
    PrivateCups()
    {
        ::chmod(m_tree.root().c_str(), 0755); // the filters run as the lp user
        for (const char* folder : { "conf/ppd", "spool", "tmp", "state", "cache", "log" })
            ::chmod(m_tree.makeFolder(folder).c_str(), 0755);
        ::chmod(m_tree.path("tmp").c_str(), 01777);
        m_tree.write("conf/cupsd.conf",
            "Listen " + socket()
                + "\nLogLevel warn\nBrowsing Off\nWebInterface No\n"
                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n");
        std::string files = "ServerRoot " + m_tree.path("conf") + "\n";
        for (const auto& [key, folder] : { std::pair { "RequestRoot", "spool" }, { "TempDir", "tmp" },
                 { "StateDir", "state" }, { "CacheDir", "cache" } })
            files += std::string(key) + " " + m_tree.path(folder) + "\n";
        files += "ErrorLog " + m_tree.path("log/error_log") + "\nAccessLog " + m_tree.path("log/access_log")
            + "\nPageLog " + m_tree.path("log/page_log") + "\nFileDevice No\n";
        m_tree.write("conf/cups-files.conf", files);
        start();
    }
    ~PrivateCups()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;

    std::string socket() const { return m_tree.path("cups.sock"); }
    bool running() const { return test::pathExists(socket()); }
    std::string log() const { return readFile(m_tree.path("log/error_log")); }

private:
    void start()
    {
        const std::string conf = m_tree.path("conf/cupsd.conf");
        const std::string files = m_tree.path("conf/cups-files.conf");
        m_pid = ::fork();
        if (m_pid == 0) {
            ::execlp("cupsd", "cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr);
            ::_exit(127);
        }
        for (int i = 0; i < 100 && !running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    TempTree m_tree;
    pid_t m_pid = -1;
};

// Where cups-pdf puts the jobs of this user, from its settings ("Out ${HOME}/PDF" by default).
std::string pdfFolder()
{
    std::string out = "${HOME}/PDF";
    const std::string conf = readFile("/etc/cups/cups-pdf.conf");
    for (std::size_t at = conf.find("\nOut "); at != std::string::npos; at = std::string::npos)
        out = conf.substr(at + 5, conf.find('\n', at + 5) - at - 5);
    const passwd* user = ::getpwuid(::getuid());
    if (const std::size_t home = out.find("${HOME}"); home != std::string::npos && user)
        out.replace(home, 7, user->pw_dir);
    return out;
}

TEST(CupsPrintTest, TheReportIsPrintedToAPdfQueue)
{
    if (!programAvailable("cupsd") || !programAvailable("lpadmin") || !programAvailable("lp")
        || !test::pathExists(kBackend) || !test::pathExists(kPpd))
        GTEST_SKIP() << "CUPS with cups-pdf is not installed (packages cups, cups-client, printer-driver-cups-pdf)";
    PrivateCups cups;
    if (!cups.running())
        GTEST_SKIP() << "cupsd did not start here: " << cups.log();
    const ScopedEnv server("CUPS_SERVER", cups.socket());
    const ScopedEnv printer("PRINTER", "VellickTestPDF");
    shellOutput(std::string("lpadmin -p VellickTestPDF -E -v cups-pdf:/ -P ") + kPpd + " 2>&1");

    test::PrivateXdg xdg;
    const std::string report = xdg.tree().write("cache/vellick/printresult.wri", "Vellick print test report\r\n");
    ::chmod(xdg.tree().root().c_str(), 0755);
    const std::string folder = pdfFolder();
    const std::set<std::string> before = pdfsIn(folder);
    ASSERT_TRUE(SystemPrinter().print(report).ok()) << cups.log();

    std::string printed;
    for (int i = 0; i < 600 && printed.empty(); ++i) {
        for (const std::string& pdf : pdfsIn(folder)) {
            if (!before.contains(pdf) && readFile(pdf).starts_with("%PDF"))
                printed = pdf;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_FALSE(printed.empty()) << "no PDF in " << folder << "\n" << cups.log();
    ::unlink(printed.c_str());
}

} // namespace
} // namespace vellick
