#pragma once

namespace vellick {

class CVellickDoc;

// Remove from List: takes the taken rows (every checked row and the current record's row) out of the
// display order without touching their files; the records stay in the document, as after Delete. The
// record that moves up into the current row's place becomes current (the last row's when the current row
// was the last), so the key can be pressed again on the next file. The views hear DocumentHint::CurrentChanged.
// Returns how many rows went; without a current record nothing happens.
int removeTakenRows(CVellickDoc& doc);

} // namespace vellick
