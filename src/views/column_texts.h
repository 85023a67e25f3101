#pragma once

#include <QString>

namespace vellick {

class CLine;

// The texts of the result list's columns, formatted when a row is drawn.

// "In Folder": the path before its last "/"; a file directly in "/" shows "/".
QString folderColumnText(const CLine& line);

} // namespace vellick
