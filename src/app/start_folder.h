#pragma once

#include <QString>
#include <QStringList>

namespace vellick {

class CMainFrame;

// The folder named on the window's command line, as in `vellick FOLDER` or a file manager's "Open With":
// a folder, a file (meaning the folder it is in) or a file:// URI. The first argument that is not an option
// counts; the rest are ignored. Nothing is searched: the folder only fills the Folder box.
struct StartFolder {
    QString folder; // absolute path for the Folder box; empty when the arguments name none
    QString message; // for the status bar when the argument names no local folder
};

// `arguments` without the program name, after Qt has taken its own options out.
StartFolder startFolderFromArguments(const QStringList& arguments);

// Puts the folder into the frame's Folder box, or the message into its status bar.
void applyStartFolder(CMainFrame& frame, const StartFolder& start);

} // namespace vellick
