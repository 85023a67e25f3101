#pragma once

namespace vellick {

// Makes the desktop's icon themes reachable: the system icon folders join the theme search path, and
// "Adwaita" is used when the platform names no theme (as under a bare X server), so file icons show.
void prepareIconTheme();

} // namespace vellick
