#include "results/context_window.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace vellick {
namespace {

struct Expected {
    std::string text;
    uint16_t position;
};

void expectContext(const std::string& window, std::size_t before, std::size_t length, const Expected& expected)
{
    const HitContext context = cutContext(window, before, length);
    EXPECT_EQ(context.text, expected.text);
    EXPECT_EQ(context.position, expected.position);
}

TEST(ContextWindowTest, StartOfTheContext)
{
    // A hit at the window's start has nothing in front of it.
    expectContext("abc def\nnext", 0, 3, { "abc def", 0 });
    // The line began inside the window: the context starts right after the line feed.
    expectContext("xx\nhello world", 9, 5, { "hello world", 6 });
    expectContext("xx\rhello world", 9, 5, { "hello world", 6 });
    // A byte that is neither printable nor white space ends the walk back, as does a high byte.
    expectContext("ab\x01"s + "cd ef", 6, 2, { "cd ef", 3 });
    expectContext("ab\x80"s + "cd ef", 6, 2, { "cd ef", 3 });
}

TEST(ContextWindowTest, LineBeganBeforeTheWindow)
{
    // The walk reached the window's start: begin at its first white space, so the first word is left out.
    expectContext("one two three", 8, 5, { " two three", 5 });
    // A tab does not end the walk; as the first white space it starts the context, shown as a space.
    expectContext("ab\tcd ef", 6, 2, { " cd ef", 4 });
    // No white space in front of the hit: the whole window's front part.
    expectContext("abcdefghij", 5, 2, { "abcdefghij", 5 });
}

TEST(ContextWindowTest, FirstByteOfTheWindowIsNeverWalkedBackOver)
{
    // Byte 0 is a line feed: the backward walk never looks at it, the forward look takes it as white space.
    expectContext("\nabcdef", 4, 2, { " abcdef", 4 });
    // One byte in front of the hit: nothing is walked back; byte 0 is not white space, so it stays in.
    expectContext("\x01"s + "ab", 1, 2, { " ab", 1 });
    expectContext("\nab", 1, 2, { " ab", 1 });
}

TEST(ContextWindowTest, EndOfTheContext)
{
    expectContext("key\rmore", 0, 3, { "key", 0 });
    expectContext("key tail", 0, 3, { "key tail", 0 });
    // The first three bytes after the hit are always taken, unless a line end comes first.
    expectContext("key\x01\x02\x03\x04rest", 0, 3, { "key   ", 0 });
    expectContext("key\x01\rab", 0, 3, { "key ", 0 });
    expectContext("keyab\x01"s + "cd", 0, 3, { "keyab cd", 0 });
    // From the fourth byte on a control byte ends the context; white space does not.
    expectContext("key abc\x01"
                  "def",
        0, 3, { "key abc", 0 });
    expectContext("key abc\x0b"
                  "d",
        0, 3, { "key abc d", 0 });
}

TEST(ContextWindowTest, NeverExtendsPastTheBytesRead)
{
    // A hit longer than what was read (a long phrase, or a file cut short inside the hit).
    const std::string window(kContextWindowSize, 'a');
    expectContext(window, kContextLead, 300, { window, kContextLead });
    expectContext("x\nkey", 2, 10, { "key", 0 });
}

} // namespace
} // namespace vellick
