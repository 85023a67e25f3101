#include "support/ui_test_support.h"

#include "app/result_layouts.h"
#include "app/search_controller.h"
#include "app/search_panel.h"
#include "app/status_panes.h"
#include "views/vellick_view.h"

#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>

namespace vellick::test {

namespace {
// The program's runtime folder, removed when the program ends.
struct RuntimeFolder {
    std::string path = "/tmp/vellick-ui-runtime-XXXXXX";
    ~RuntimeFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};
} // namespace

void prepareUiTestEnvironment()
{
    static RuntimeFolder runtime;
    if (!mkdtemp(runtime.path.data()) || chmod(runtime.path.c_str(), 0700) != 0)
        throw std::runtime_error("cannot make a runtime folder");
    setenv("XDG_RUNTIME_DIR", runtime.path.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

void idle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

ConfigHome::ConfigHome()
    : m_previous(qgetenv("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", m_dir.path().toLocal8Bit());
}

ConfigHome::~ConfigHome()
{
    qputenv("XDG_CONFIG_HOME", m_previous);
}

QString ConfigHome::iniPath() const
{
    return m_dir.path() + QStringLiteral("/vellick/vellick.ini");
}

QString ConfigHome::value(const QString& key) const
{
    QFile file(iniPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString prefix = key + QLatin1Char('=');
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (text.startsWith(prefix, Qt::CaseInsensitive))
            return text.mid(prefix.size());
    }
    return {};
}

void ConfigHome::write(const QString& content) const
{
    QDir().mkpath(m_dir.path() + QStringLiteral("/vellick"));
    QFile file(iniPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write the settings file");
    file.write(content.toUtf8());
}

FrameFixture::FrameFixture()
    : m_doc(&m_fileTypes)
    , m_frame(std::make_unique<CMainFrame>(m_doc, &m_fileTypes))
{
    m_frame->setMessagePresenter(std::make_unique<RecordingPresenter>(messages));
    m_frame->show();
    if (!QTest::qWaitForWindowExposed(m_frame.get()))
        throw std::runtime_error("the window was not shown");
    idle();
}

FrameFixture::~FrameFixture() = default;

CSearchPanel& FrameFixture::panel()
{
    return m_frame->searchPanel();
}

CVellickView& FrameFixture::list()
{
    return *m_frame->layouts().shownList();
}

CTextView& FrameFixture::textPane()
{
    return *m_frame->layouts().shownTextPane();
}

QString FrameFixture::status() const
{
    return m_frame->statusPanes().message();
}

std::vector<std::string> FrameFixture::foundPaths()
{
    std::vector<std::string> paths;
    for (int row = 0; row < m_doc.rowCount(); ++row)
        paths.push_back(m_doc.record(m_doc.recordAtRow(row)).path);
    return paths;
}

void FrameFixture::selectRow(int row)
{
    list().setCurrentIndex(list().model()->index(row, 2));
    idle();
}

void FrameFixture::setKeywords(const QString& text)
{
    panel().keywordsBox()->setEditText(text);
}

void FrameFixture::setFolder(const QString& folder)
{
    panel().folderBox()->setEditText(folder);
}

bool FrameFixture::search()
{
    idle();
    QTest::mouseClick(panel().startButton(), Qt::LeftButton);
    return waitForSearchEnd();
}

bool FrameFixture::waitForSearchEnd()
{
    const bool ended = QTest::qWaitFor([this] { return !m_frame->search().inProgress(); }, 10000);
    idle();
    return ended;
}

void FrameFixture::close()
{
    m_frame->close();
    idle();
}

} // namespace vellick::test
