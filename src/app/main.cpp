#include "app/vellick_app.h"
#include "base/open_file_limit.h"

int main(int argc, char** argv)
{
    vellick::raiseOpenFileLimit();
    vellick::CVellickApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return vellick::CVellickApp::exec();
}
