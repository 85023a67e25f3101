#pragma once

#include "app/main_frame.h"
#include "app/status_panes.h"
#include "platform/linux/mime_file_types.h"
#include "platform/print_service.h"
#include "results/vellick_doc.h"
#include "views/message_presenter.h"

#include <QApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

namespace vellick {
class CSearchPanel;
class CTextView;
class CVellickView;
} // namespace vellick

namespace vellick::test {

// Gives the test program a private XDG_RUNTIME_DIR (mode 0700) before the application starts.
void prepareUiTestEnvironment();

// A byte string of the core (a path, a message) as UTF-8 text, for comparing with what the window shows.
inline QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

// Lets the event loop run until it would wait, so the window's enabling rules are evaluated.
void idle(int milliseconds = 20);

// Keeps the messages the window would have shown in boxes.
class RecordingPresenter : public MessagePresenter {
public:
    explicit RecordingPresenter(QStringList& messages)
        : m_messages(messages)
    {
    }
    void showInformation(QWidget*, const QString& text) override { m_messages.append(text); }

private:
    QStringList& m_messages;
};

// The main frame's part for a list or text pane tested on its own: everything asked of it is recorded.
class FakeViewHost : public ViewHost {
public:
    void setStatusText(const QString& text) override { statusText = text; }
    void setKeywordText(const std::string& bytes) override
    {
        keywordBytes = bytes;
        keywordText = QString::fromStdString(bytes);
    }
    void setTextCounts(int lines, int hits) override
    {
        lineCount = lines;
        hitCount = hits;
    }
    void showMessage(const QString& text) override { messages.append(text); }
    bool searchRunning() const override { return running; }
    void openCurrentFile() override { ++opened; }
    void showListContextMenu(const QPoint&) override { ++contextMenus; }

    QString statusText;
    std::string keywordBytes;
    QString keywordText; // the bytes read as UTF-8
    int lineCount = -1;
    int hitCount = -1;
    QStringList messages;
    bool running = false;
    int opened = 0;
    int contextMenus = 0;
};

// Printing that stays inside the test: nothing is printed or shown.
class StayingPrinter : public PrintService {
public:
    ShellResult print(const std::string&) override { return ShellResult::done(); }
    ShellResult preview(const std::string&) override { return ShellResult::done(); }
};

// A settings folder of one test: XDG_CONFIG_HOME points into it while the object lives.
class ConfigHome {
public:
    ConfigHome();
    ~ConfigHome();
    QString iniPath() const;
    // The value of a key in the settings file, or a null string when the key is missing.
    QString value(const QString& key) const;
    void write(const QString& content) const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

// The main window over a fresh document, with its messages recorded instead of shown.
class FrameFixture {
public:
    FrameFixture();
    ~FrameFixture();

    CMainFrame& frame() { return *m_frame; }
    CVellickDoc& doc() { return m_doc; }
    CSearchPanel& panel();
    CVellickView& list();
    CTextView& textPane();
    QString status() const;
    // The paths of the found files in the order of the list's rows.
    std::vector<std::string> foundPaths();
    // Makes a row the list's current one, as a click on it would.
    void selectRow(int row);

    void setKeywords(const QString& text);
    void setFolder(const QString& folder);
    // Presses Start and waits until the search has ended; false on time-out.
    bool search();
    bool waitForSearchEnd();
    // Closes the window as the user would; the settings file is written.
    void close();

    QStringList messages;

private:
    MimeFileTypes m_fileTypes;
    CVellickDoc m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

} // namespace vellick::test

#define VELLICK_UI_TEST_MAIN(TestClass)                                                                                \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        vellick::test::prepareUiTestEnvironment();                                                                     \
        QApplication app(argc, argv);                                                                                  \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
