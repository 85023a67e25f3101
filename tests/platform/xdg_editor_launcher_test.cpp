#include "platform/linux/xdg_editor_launcher.h"

#include <gtest/gtest.h>

namespace vellick {

using Arguments = std::vector<std::string>;

TEST(EditorArguments, PathIsOneArgumentAndNeverExpandedAgain)
{
    const std::string odd = "/tmp/my \"odd\" $(touch x) 'name' %l;.txt";
    const struct {
        const char* command;
        std::string path;
        std::int64_t line;
        Arguments expected;
    } cases[] = {
        { "gedit +%l %f", "/tmp/a b.txt", 12, { "gedit", "+12", "/tmp/a b.txt" } },
        { "code -g %f:%l", "/tmp/a.txt", 3, { "code", "-g", "/tmp/a.txt:3" } },
        { "kate -l %l %f", odd, 7, { "kate", "-l", "7", odd } },
        { "\"/opt/My Editor/bin/ed\" --line=%l %f", "/x", 1, { "/opt/My Editor/bin/ed", "--line=1", "/x" } },
        { "xdg-open", "/tmp/no file given", 5, { "xdg-open", "/tmp/no file given" } }, // the path goes last
        { "ed 100%% %q %f", "/x", 2, { "ed", "100%", "%q", "/x" } },
        { "ed +%l %f", "/x", 0, { "ed", "+1", "/x" } }, // no line below 1
        { "   ", "/x", 4, {} },
        { "", "/x", 4, {} },
    };
    for (const auto& c : cases)
        EXPECT_EQ(editorArguments(c.command, c.path, c.line), c.expected) << c.command;
}

TEST(EditorCommand, KnownEditorsGetTheirLineOption)
{
    const std::pair<const char*, const char*> cases[] = {
        { "org.gnome.gedit.desktop", "gedit +%l %f" },
        { "gedit.desktop", "gedit +%l %f" },
        { "org.gnome.TextEditor.desktop", "gnome-text-editor +%l %f" },
        { "org.kde.kate.desktop", "kate -l %l %f" },
        { "code.desktop", "code -g %f:%l" },
        { "org.xfce.mousepad.desktop", "mousepad --line %l %f" },
        { "geany.desktop", "geany +%l %f" },
        { "org.x.editor.desktop", "xed +%l %f" },
        { "pluma.desktop", "pluma +%l %f" },
        { "libreoffice-writer.desktop", "xdg-open %f" },
        { "org.kde.editor.desktop", "xdg-open %f" },
        { "", "xdg-open %f" },
    };
    for (const auto& [application, command] : cases)
        EXPECT_EQ(editorCommandForApplication(application), command) << application;
}

} // namespace vellick
