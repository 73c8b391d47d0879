#include "tests/resources/resource_files.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Runs the generator from the art folder into the data folder; its exit status.
int generate(const std::string& art, const std::string& data, std::string* errors = nullptr)
{
    ChildProcess generator({KOVO_RESOURCE_GENERATOR, art, data});
    if (!generator.waitExit(120)) return -1;
    if (errors) *errors = generator.standardError();
    return generator.exitStatus();
}

bool isFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// A copy of the art folder with one text replaced in the glyph drawing.
void writeBrokenArt(const TempFolder& art, const std::string& from, const std::string& to)
{
    std::string glyphs = readFileBytes(std::string(KOVO_ART_DIR) + "/font_glyphs.txt");
    size_t at = glyphs.find(from);
    ASSERT_NE(at, std::string::npos);
    art.write("font_glyphs.txt", glyphs.replace(at, from.size(), to));
    art.write("buttons.txt", readFileBytes(std::string(KOVO_ART_DIR) + "/buttons.txt"));
}

} // namespace

TEST(ResourceGenerator, MakesTheSameBytesEveryTimeAsTheBuildDid)
{
    TempFolder first, second;
    ASSERT_EQ(generate(KOVO_ART_DIR, first.path()), 0);
    ASSERT_EQ(generate(KOVO_ART_DIR, second.path()), 0);
    for (const std::string& name : kResourceFiles) {
        std::string bytes = readFileBytes(first.path() + "/" + name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(bytes, readFileBytes(second.path() + "/" + name)) << name;
        EXPECT_EQ(bytes, readFileBytes(dataFile(name))) << name;
    }
    EXPECT_TRUE(isFolder(first.path() + "/songs"));
    EXPECT_TRUE(isFolder(dataFile("songs")));
}

TEST(ResourceGenerator, KeepsSavedSongs)
{
    TempFolder data;
    ASSERT_EQ(generate(KOVO_ART_DIR, data.path()), 0);
    data.write("songs/mine", "a saved song");
    ASSERT_EQ(generate(KOVO_ART_DIR, data.path()), 0);
    EXPECT_EQ(readFileBytes(data.path() + "/songs/mine"), "a saved song");
}

TEST(ResourceGenerator, ABrokenDrawingIsReportedByLineAndWritesNothing)
{
    TempFolder art, data;
    writeBrokenArt(art, "char 65 A\n...........", "char 65 A\n..........");
    std::string errors;
    EXPECT_EQ(generate(art.path(), data.path(), &errors), 1);
    EXPECT_NE(errors.find("font_glyphs.txt:"), std::string::npos) << errors;
    EXPECT_NE(errors.find("a row of 10 characters"), std::string::npos) << errors;
    EXPECT_EQ(readFileBytes(data.path() + "/zukafont.png"), "");
    EXPECT_FALSE(isFolder(data.path() + "/wav"));
}

TEST(ResourceGenerator, AGlyphDrawnTwiceIsNamed)
{
    TempFolder art, data;
    writeBrokenArt(art, "char 126", "char 65");
    std::string errors;
    EXPECT_EQ(generate(art.path(), data.path(), &errors), 1);
    EXPECT_NE(errors.find("code 65 is drawn twice"), std::string::npos) << errors;
}
