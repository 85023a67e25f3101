#pragma once

#include <QIcon>
#include <vector>

namespace vellick {

class MimeFileTypes;

// The small icons of the found files: a record's icon index names an entry of the file-type service's
// icon list, which grows while a search runs. Each entry becomes a theme icon once, when first drawn.
class FileIconList {
public:
    explicit FileIconList(const MimeFileTypes* fileTypes);

    QIcon icon(int index);

private:
    void refresh();

    const MimeFileTypes* m_fileTypes;
    std::vector<QIcon> m_icons;
    QIcon m_plainFile;
};

} // namespace vellick
