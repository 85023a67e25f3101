#pragma once

#include <QApplication>
#include <memory>

namespace vellick {

class CMainFrame;
class CVellickDoc;
class MimeFileTypes;

// The application: makes the one document and the main window at start-up and owns them for the run.
// A folder on the command line fills the Folder box; every start opens one more independent window.
class CVellickApp : public QApplication {
    Q_OBJECT
public:
    CVellickApp(int& argc, char** argv);
    ~CVellickApp() override;

    // Creates the document and the main window and shows it.
    bool InitInstance();

private:
    std::unique_ptr<MimeFileTypes> m_fileTypes;
    std::unique_ptr<CVellickDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

} // namespace vellick
