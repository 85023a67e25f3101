#include "views/column_texts.h"

#include "results/cline.h"
#include "views/text_conversion.h"

namespace vellick {

QString folderColumnText(const CLine& line)
{
    const std::string_view folder = line.folder();
    if (folder.empty() && !line.path.empty() && line.path.front() == '/')
        return QStringLiteral("/");
    return fromPath(folder);
}

} // namespace vellick
