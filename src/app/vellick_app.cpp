#include "app/vellick_app.h"

#include "app/icon_theme.h"
#include "app/main_frame.h"
#include "app/resources.h"
#include "app/start_folder.h"
#include "platform/linux/mime_file_types.h"
#include "results/vellick_doc.h"

#include <QIcon>

namespace vellick {

CVellickApp::CVellickApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("vellick"));
    // Ties the window to its desktop entry: icon and taskbar grouping under Wayland and X11.
    setDesktopFileName(QStringLiteral(VELLICK_APP_ID));
    loadResources();
    prepareIconTheme();
    setWindowIcon(QIcon(QStringLiteral(":/vellick.svg")));
}

CVellickApp::~CVellickApp()
{
    // The window goes before the document it shows.
    m_frame.reset();
    m_doc.reset();
}

bool CVellickApp::InitInstance()
{
    m_fileTypes = std::make_unique<MimeFileTypes>();
    m_doc = std::make_unique<CVellickDoc>(m_fileTypes.get());
    m_frame = std::make_unique<CMainFrame>(*m_doc, m_fileTypes.get());
    applyStartFolder(*m_frame, startFolderFromArguments(arguments().mid(1)));
    m_frame->show();
    return true;
}

} // namespace vellick
