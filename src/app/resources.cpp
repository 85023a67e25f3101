#include "app/resources.h"

#include <QDir>

// Q_INIT_RESOURCE must name the resource file from the global namespace.
static void initVellickResource()
{
    Q_INIT_RESOURCE(vellick);
}

namespace vellick {

void loadResources()
{
    static const bool loaded = (initVellickResource(), true);
    (void)loaded;
}

} // namespace vellick
