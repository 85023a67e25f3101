#include "app/vellick_app.h"

int main(int argc, char** argv)
{
    vellick::CVellickApp app(argc, argv);
    if (!app.InitInstance())
        return 1;
    return vellick::CVellickApp::exec();
}
