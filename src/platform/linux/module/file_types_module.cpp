// The file-type module: type names from the shared MIME database, which needs Qt Core. vellick-cli loads
// it only when a report has a type column, so that the command line itself links no Qt.

#include "platform/linux/mime_file_types.h"

// A plain C interface, so that the loader needs no C++ symbol names. The object crosses the module's
// border, hence the explicit creation and destruction.
extern "C" __attribute__((visibility("default"))) vellick::FileTypeService* vellickCreateFileTypes()
{
    return new vellick::MimeFileTypes(); // NOLINT(cppcoreguidelines-owning-memory): given back through destroy
}

extern "C" __attribute__((visibility("default"))) void vellickDestroyFileTypes(vellick::FileTypeService* service)
{
    delete service; // NOLINT(cppcoreguidelines-owning-memory)
}
