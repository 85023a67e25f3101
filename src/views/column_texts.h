#pragma once

#include <QString>
#include <cstdint>

namespace vellick {

class CLine;

// The texts of the result list's columns, formatted when a row is drawn.

// "In Folder": the path before its last "/"; a file directly in "/" shows "/".
QString folderColumnText(const CLine& line);

// "Size": the bytes up to 1024, otherwise the whole kilobytes with "KB" ("1KB" for 1025 to 2047 bytes).
QString sizeColumnText(int64_t size);

} // namespace vellick
