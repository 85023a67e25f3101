#include "settings/recent_list.h"

#include "base/byte_compare.h"

namespace vellick {

int updateRecentList(std::vector<std::string>& list, const std::string& text)
{
    const auto matches = [&](const std::string& entry) { return compareBytes(entry, text, true) == 0; };
    for (std::size_t i = 1; i < list.size(); ++i) {
        if (matches(list[i])) {
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
            list.insert(list.begin(), text);
            return 0;
        }
    }
    if (!list.empty() && matches(list.front()))
        return -1;
    list.insert(list.begin(), text);
    return -1;
}

} // namespace vellick
