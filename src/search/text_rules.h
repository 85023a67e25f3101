#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vellick {

// Rules on the panel's texts, shared by the search request, the panel's enabling logic and paste.

// The text without its leading and trailing white space (bytes 0x09 to 0x0D and space).
std::string_view trimWhiteSpace(std::string_view text);

// Drops leading and trailing white space, then turns line feeds, carriage returns and tabs into spaces.
std::string trimText(std::string_view text);

// True when the (trimmed) keyword text holds several words: longer than one character, at least four
// characters from its first to its last non-space character, with a space strictly inside.
bool hasSeveralWords(std::string_view text);

// A keyword is valid when it has at least two characters and is not made of "?" alone.
bool isValidKeyword(std::string_view word);

// The words of a text split at runs of spaces, in order.
std::vector<std::string_view> splitWords(std::string_view text);

// The text cut to at most `limit` bytes.
std::string_view cutText(std::string_view text, std::size_t limit);

} // namespace vellick
