// Drives the real main window offscreen and times what a user waits for in it:
//  1. a search of a whole tree from the search panel (folder and keyword typed, sub-folders ticked, every
//     other setting at its default), from the press on Start to the summary in the status bar, side by side
//     with vellick-cli making the same request (`vellick-cli -d TREE mutex_lock`: recursive, ignore case,
//     no hidden files, as the window's defaults); meanwhile a 2 ms timer in the window's event loop records
//     the longest time the window did not answer, and how much of that gap the window's thread was busy
//     and how much it waited for a processor (the kernel's schedstat: other programs on the machine);
//  2. on 100,000 found files (a generated tree searched once from the window): sorting by each column both
//     ways, switching the layouts and scrolling the list, each with the window painted afterwards.
//
//     window_bench [TREE] [--rounds N] [--rows N] [--only 1|2]
//
// TREE defaults to ~/.cache/vellick-bench/linux-source-6.1. Settings are read from and written to a
// temporary folder, so the window starts with the defaults and the user's own settings stay untouched.
#include "app/command_table.h"
#include "app/main_frame.h"
#include "app/result_layouts.h"
#include "app/search_controller.h"
#include "app/search_panel.h"
#include "app/status_panes.h"
#include "platform/linux/mime_file_types.h"
#include "results/vellick_doc.h"
#include "views/vellick_view.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace vellick;

namespace {

constexpr const char* kKeyword = "mutex_lock";
constexpr double kWindowToCliGoal = 1.2;
constexpr double kLongestGapGoalMs = 50;
constexpr double kOperationGoalMs = 100;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

double maximum(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

const char* verdict(bool met)
{
    return met ? "yes" : "NO";
}

void idle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

struct CliRun {
    double seconds = 0;
    int foundFiles = 0; // lines printed
};

// Wall time of one vellick-cli run; its output is read to the end through a pipe, as a terminal or a
// script would take it, and its lines counted.
CliRun runCli(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int output[2];
    if (::pipe2(output, O_CLOEXEC) != 0) {
        std::perror("pipe");
        std::exit(2);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    QElapsedTimer clock;
    clock.start();
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run %s\n", argv[0]);
        std::exit(2);
    }
    ::close(output[1]);
    CliRun run;
    char buffer[65536];
    for (ssize_t got; (got = ::read(output[0], buffer, sizeof buffer)) > 0;)
        run.foundFiles += static_cast<int>(std::count(buffer, buffer + got, '\n'));
    int status = 0;
    waitpid(child, &status, 0);
    run.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    ::close(output[0]);
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// CPU time (user and system) the calling thread has used, in seconds.
double threadCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Time the calling thread has spent runnable but waiting for a processor, in seconds (the kernel's
// schedstat); 0 where the kernel does not keep it.
double threadRunDelaySeconds()
{
    static thread_local const int fd = ::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
    char text[128] = {};
    if (fd < 0 || ::pread(fd, text, sizeof text - 1, 0) <= 0)
        return 0;
    unsigned long long onCpu = 0, waiting = 0;
    return std::sscanf(text, "%llu %llu", &onCpu, &waiting) == 2 ? static_cast<double>(waiting) / 1e9 : 0;
}

// Records the longest time between two ticks of a short timer in the window's event loop.
class AnswerWatch : public QObject {
public:
    AnswerWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(2);
        connect(&m_timer, &QTimer::timeout, this, &AnswerWatch::tick);
    }
    void start()
    {
        m_longestNs = 0;
        m_longestEndNs = 0;
        m_longestOwn = 0;
        m_sinceStart.start();
        m_sinceTick.start();
        m_cpuAtTick = threadCpuSeconds();
        m_runDelayAtTick = threadRunDelaySeconds();
        m_timer.start();
    }
    // The longest gap in milliseconds, the one running into this call included.
    double stop()
    {
        tick();
        m_timer.stop();
        return static_cast<double>(m_longestNs) / 1e6;
    }
    // When the longest gap ended, in milliseconds since start().
    double longestEndedAt() const { return static_cast<double>(m_longestEndNs) / 1e6; }
    // How much of the longest gap the window's thread was busy, in milliseconds (the rest it waited or
    // was not given a processor).
    double longestBusy() const { return m_longestBusy * 1e3; }
    // How much of it the thread was ready to run but had no processor, in milliseconds.
    double longestRunDelay() const { return m_longestRunDelay * 1e3; }
    // The longest gap less the time in it the thread waited for a processor: what the window itself held
    // up, whatever else runs on the machine.
    double longestOwnGap() const { return m_longestOwn * 1e3; }

private:
    void tick()
    {
        const qint64 gap = m_sinceTick.nsecsElapsed();
        const double cpu = threadCpuSeconds();
        const double runDelay = threadRunDelaySeconds();
        if (gap > m_longestNs) {
            m_longestNs = gap;
            m_longestEndNs = m_sinceStart.nsecsElapsed();
            m_longestBusy = cpu - m_cpuAtTick;
            m_longestRunDelay = runDelay - m_runDelayAtTick;
        }
        m_longestOwn = std::max(m_longestOwn, static_cast<double>(gap) / 1e9 - (runDelay - m_runDelayAtTick));
        m_sinceTick.start();
        m_cpuAtTick = cpu;
        m_runDelayAtTick = runDelay;
    }

    QTimer m_timer;
    QElapsedTimer m_sinceStart;
    QElapsedTimer m_sinceTick;
    qint64 m_longestNs = 0;
    qint64 m_longestEndNs = 0;
    double m_cpuAtTick = 0;
    double m_longestBusy = 0;
    double m_runDelayAtTick = 0;
    double m_longestRunDelay = 0;
    double m_longestOwn = 0;
};

struct SearchTiming {
    double seconds = 0;
    double longestGapMs = 0;
    double longestGapEndedMs = 0;
    double longestGapBusyMs = 0;
    double longestGapRunDelayMs = 0;
    double longestOwnGapMs = 0;
    double windowThreadCpu = 0; // seconds the window's own thread was busy
    QString summary;
};

// The main window over a fresh document, shown offscreen.
class Window {
public:
    Window()
        : m_doc(&m_fileTypes)
        , m_frame(m_doc, &m_fileTypes)
    {
        m_frame.show();
        if (!QTest::qWaitForWindowExposed(&m_frame)) {
            std::fprintf(stderr, "the window was not shown\n");
            std::exit(2);
        }
        idle(50);
    }

    CMainFrame& frame() { return m_frame; }
    CVellickDoc& doc() { return m_doc; }
    CVellickView& list() { return *m_frame.layouts().shownList(); }

    // Types the folder and the keyword into the panel, ticks sub-folders, presses Start and waits for the
    // summary in the status bar.
    SearchTiming search(const QString& folder)
    {
        CSearchPanel& panel = m_frame.searchPanel();
        panel.folderBox()->setEditText(folder);
        panel.keywordsBox()->setEditText(QString::fromLatin1(kKeyword));
        panel.subFoldersBox()->setChecked(true);
        idle(20);
        bool ended = false;
        QElapsedTimer clock;
        const QMetaObject::Connection connection
            = QObject::connect(&m_frame.search(), &SearchController::finished, [&] { ended = true; });
        AnswerWatch watch;
        watch.start();
        const double cpuBefore = threadCpuSeconds();
        clock.start();
        QTest::mouseClick(panel.startButton(), Qt::LeftButton);
        while (!ended)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        SearchTiming timing;
        timing.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        timing.windowThreadCpu = threadCpuSeconds() - cpuBefore;
        timing.longestGapMs = watch.stop();
        timing.longestGapEndedMs = watch.longestEndedAt();
        timing.longestGapBusyMs = watch.longestBusy();
        timing.longestGapRunDelayMs = watch.longestRunDelay();
        timing.longestOwnGapMs = watch.longestOwnGap();
        QObject::disconnect(connection);
        timing.summary = m_frame.statusPanes().message();
        idle(200); // the text pane shows the first file
        return timing;
    }

    // Runs an action, then has the window paint what it changed.
    struct OperationTime {
        double wallMs;
        double busyMs; // of the window's thread
    };
    OperationTime timePainted(const std::function<void()>& action)
    {
        QElapsedTimer clock;
        const double cpuBefore = threadCpuSeconds();
        clock.start();
        action();
        QCoreApplication::sendPostedEvents();
        m_frame.repaint();
        const OperationTime time { static_cast<double>(clock.nsecsElapsed()) / 1e6,
            (threadCpuSeconds() - cpuBefore) * 1e3 };
        idle(10);
        return time;
    }

private:
    MimeFileTypes m_fileTypes;
    CVellickDoc m_doc;
    CMainFrame m_frame;
};

// A tree of small files that all hold the keyword, with varied names, types, sizes, times and hit counts.
void makeRowsTree(const std::filesystem::path& root, int files)
{
    const char* extensions[] = { ".c", ".h", ".txt", ".md", ".py", ".cpp", ".log" };
    constexpr int kPerFolder = 1000;
    unsigned state = 12345;
    auto next = [&state] { return state = state * 1103515245u + 12345u; };
    for (int i = 0; i < files; ++i) {
        const std::filesystem::path folder = root / ("d" + std::to_string(i / kPerFolder));
        if (i % kPerFolder == 0)
            std::filesystem::create_directories(folder);
        const std::string name
            = "f" + std::to_string(next() % 1000000) + "_" + std::to_string(i) + extensions[next() % 7];
        const std::filesystem::path path = folder / name;
        {
            std::ofstream out(path, std::ios::binary);
            const unsigned hits = 1 + next() % 5;
            for (unsigned h = 0; h < hits; ++h)
                out << "call mutex_lock(&m);\n";
            out << std::string(next() % 300, 'x') << '\n';
        }
        const timespec times[2] = { { static_cast<time_t>(1600000000 + next() % 100000000), 0 },
            { static_cast<time_t>(1600000000 + next() % 100000000), 0 } };
        utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
}

// A row of the table for the longest gaps of the rounds: their median, and met when even the worst is in.
void printGapRow(const char* name, const std::vector<double>& gaps)
{
    std::printf("   %-34s %7.1f ms %7.0f ms %6s   (worst round %.1f ms)\n", name, median(gaps), kLongestGapGoalMs,
        verdict(maximum(gaps) <= kLongestGapGoalMs), maximum(gaps));
}

void compareWithCli(Window& window, const QString& tree, const std::string& cli, int rounds)
{
    const std::vector<std::string> cliRequest { cli, "-d", tree.toStdString(), kKeyword };
    std::printf("1. Search of %s for %s (window: sub-folders ticked, other settings default;\n"
                "   vellick-cli -d TREE %s), %d rounds side by side, warm cache\n",
        qPrintable(tree), kKeyword, kKeyword, rounds);
    window.search(tree); // warm-up of both and of the page cache
    const int cliFound = runCli(cliRequest).foundFiles;
    std::vector<double> windowSeconds, cliSeconds, gaps, ownGaps;
    QString summary;
    for (int round = 0; round < rounds; ++round) {
        const bool cliFirst = round % 2 == 1;
        if (cliFirst)
            cliSeconds.push_back(runCli(cliRequest).seconds);
        const SearchTiming timing = window.search(tree);
        windowSeconds.push_back(timing.seconds);
        gaps.push_back(timing.longestGapMs);
        ownGaps.push_back(timing.longestOwnGapMs);
        summary = timing.summary;
        if (!cliFirst)
            cliSeconds.push_back(runCli(cliRequest).seconds);
        std::printf("   round %d: window %.3f s, cli %.3f s; window thread busy %.3f s; longest gap %.1f ms (busy "
                    "%.1f, waiting for a processor %.1f), ended %.0f ms after Start\n",
            round + 1, timing.seconds, cliSeconds.back(), timing.windowThreadCpu, timing.longestGapMs,
            timing.longestGapBusyMs, timing.longestGapRunDelayMs, timing.longestGapEndedMs);
        std::fflush(stdout);
    }
    const double ratio = median(windowSeconds) / median(cliSeconds);
    std::printf("   window summary: %s\n   vellick-cli found %d files\n", qPrintable(summary), cliFound);
    std::printf("   %-34s %10s %10s %6s\n", "measure", "median", "goal", "met");
    std::printf("   %-34s %8.3f s %10s\n", "window, Start to summary", median(windowSeconds), "");
    std::printf("   %-34s %8.3f s %10s\n", "vellick-cli", median(cliSeconds), "");
    std::vector<double> roundRatios;
    for (std::size_t i = 0; i < windowSeconds.size(); ++i)
        roundRatios.push_back(windowSeconds[i] / cliSeconds[i]);
    std::printf(
        "   %-34s %10.2f %10.2f %6s\n", "window / cli", ratio, kWindowToCliGoal, verdict(ratio <= kWindowToCliGoal));
    // Each round's pair ran back to back, so the median of their ratios follows a load that changes.
    const double pairedRatio = median(roundRatios);
    std::printf("   %-34s %10.2f %10.2f %6s\n", "  median of the rounds' ratios", pairedRatio, kWindowToCliGoal,
        verdict(pairedRatio <= kWindowToCliGoal));
    printGapRow("longest gap in the event loop", gaps);
    printGapRow("  less waits for a processor", ownGaps);
}

struct Operation {
    std::string name;
    std::function<void()> action;
};

std::vector<Operation> listOperations(Window& window)
{
    std::vector<Operation> operations;
    static const char* columns[] = { "name", "folder", "type", "size", "modified", "hits" };
    for (int column = 0; column < CVellickView::kColumnCount; ++column) {
        auto click = [&window, column] {
            QHeaderView* header = window.list().horizontalHeader();
            const QPoint centre(
                header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
        };
        operations.push_back({ std::string("sort by ") + columns[column] + ", 1st click", click });
        operations.push_back({ std::string("sort by ") + columns[column] + ", 2nd click", click });
    }
    QAction* switchLayout = window.frame().commandAction(CommandId::SwitchLayout);
    operations.push_back({ "switch to stacked layout", [switchLayout] { switchLayout->trigger(); } });
    operations.push_back({ "switch back to side by side", [switchLayout] { switchLayout->trigger(); } });
    auto key = [&window](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        return [&window, key, modifiers] { QTest::keyClick(&window.list(), key, modifiers); };
    };
    operations.push_back({ "page down", key(Qt::Key_PageDown) });
    operations.push_back({ "to the end (Ctrl+End)", key(Qt::Key_End, Qt::ControlModifier) });
    operations.push_back({ "page up", key(Qt::Key_PageUp) });
    operations.push_back({ "to the top (Ctrl+Home)", key(Qt::Key_Home, Qt::ControlModifier) });
    operations.push_back({ "scroll bar to the middle", [&window] {
                              QScrollBar* bar = window.list().verticalScrollBar();
                              bar->setValue(bar->maximum() / 2);
                          } });
    operations.push_back({ "scroll bar to the top", [&window] { window.list().verticalScrollBar()->setValue(0); } });
    return operations;
}

void timeListOperations(Window& window, int rows, int rounds)
{
    QTemporaryDir tree;
    std::printf("\n2. %d found files: generating the tree in %s ...\n", rows, qPrintable(tree.path()));
    std::fflush(stdout);
    makeRowsTree(tree.path().toStdString(), rows);
    const SearchTiming timing = window.search(tree.path());
    std::printf("   search from the window: %.3f s (its thread busy %.3f s), longest gap %.1f ms (busy %.1f, waiting "
                "for a processor %.1f) ended %.0f ms after Start;\n   longest gap less waits for a processor %.1f ms; "
                "%s\n",
        timing.seconds, timing.windowThreadCpu, timing.longestGapMs, timing.longestGapBusyMs,
        timing.longestGapRunDelayMs, timing.longestGapEndedMs, timing.longestOwnGapMs, qPrintable(timing.summary));
    std::printf("   list rows: %d\n", window.list().model()->rowCount());
    window.list().setFocus();
    idle(50);
    std::vector<Operation> operations = listOperations(window);
    std::vector<std::vector<double>> times(operations.size());
    std::vector<std::vector<double>> busy(operations.size());
    for (int round = 0; round < rounds; ++round)
        for (std::size_t i = 0; i < operations.size(); ++i) {
            const Window::OperationTime time = window.timePainted(operations[i].action);
            times[i].push_back(time.wallMs);
            busy[i].push_back(time.busyMs);
        }
    std::printf("   %d rounds; wall time from the action to the painted window, and the window thread's busy time; "
                "met: the median wall time is under the goal\n",
        rounds);
    std::printf(
        "   %-34s %10s %10s %10s %10s %6s\n", "operation (then painted)", "median", "worst", "busy", "goal", "met");
    for (std::size_t i = 0; i < operations.size(); ++i)
        std::printf("   %-34s %7.1f ms %7.1f ms %7.1f ms %7.0f ms %6s\n", operations[i].name.c_str(), median(times[i]),
            maximum(times[i]), median(busy[i]), kOperationGoalMs, verdict(median(times[i]) < kOperationGoalMs));
}

double loadAverage()
{
    double load[1] = { 0 };
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QString tree = QDir::homePath() + QStringLiteral("/.cache/vellick-bench/linux-source-6.1");
    int rounds = 5;
    int rows = 100000;
    int only = 0; // 1 or 2: that part alone
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--rounds" && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (argument == "--rows" && i + 1 < argc)
            rows = std::max(2, std::atoi(argv[++i]));
        else if (argument == "--only" && i + 1 < argc)
            only = std::atoi(argv[++i]);
        else
            tree = QString::fromLocal8Bit(argv[i]);
    }
    if (!std::filesystem::is_directory(tree.toStdString())) {
        std::fprintf(stderr, "no folder %s\n", qPrintable(tree));
        return 2;
    }
    QTemporaryDir settingsHome; // private to this user (mode 0700)
    qputenv("XDG_CONFIG_HOME", settingsHome.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", settingsHome.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("load average before: %.2f\n", loadAverage());
    if (only != 2) {
        Window window;
        compareWithCli(window, tree, VELLICK_CLI_PATH, rounds);
    }
    if (only != 1) {
        Window window;
        timeListOperations(window, rows, rounds);
    }
    std::printf("load average after: %.2f\n", loadAverage());
    return 0;
}
