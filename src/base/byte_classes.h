#pragma once

namespace vellick {

// The ASCII character classes every byte test uses, on the unsigned byte value: bytes 0x80 to 0xFF
// belong to no class, and case folding is A-Z to a-z only.
constexpr bool isUpper(unsigned char c)
{
    return c >= 'A' && c <= 'Z';
}
constexpr bool isAlpha(unsigned char c)
{
    return isUpper(c) || (c >= 'a' && c <= 'z');
}
constexpr bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}
constexpr bool isAlnum(unsigned char c)
{
    return isAlpha(c) || isDigit(c);
}
constexpr bool isWhiteSpace(unsigned char c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x20;
}
constexpr bool isPrintable(unsigned char c)
{
    return c >= 0x20 && c <= 0x7E;
}
constexpr unsigned char toLowerAscii(unsigned char c)
{
    return isUpper(c) ? static_cast<unsigned char>(c + 32) : c;
}

} // namespace vellick
