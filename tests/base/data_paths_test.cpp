#include "base/data_paths.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <sys/stat.h>
#include <utility>
#include <vector>

TEST(DataPaths, FixDataPathPrefixesOnlyBareRelativePaths)
{
    EXPECT_EQ(fixDataPath(U"wav/saw_64.wav"), U"quorvane://data/wav/saw_64.wav");
    EXPECT_EQ(fixDataPath(U"./x"), U"./x");
    EXPECT_EQ(fixDataPath(U"/tmp/x"), U"/tmp/x");
    EXPECT_EQ(fixDataPath(U"c:/x"), U"c:/x");
    EXPECT_EQ(fixDataPath(U"quorvane://data/a"), U"quorvane://data/a");
    // The first "/" comes before the ":/", so this is no scheme.
    EXPECT_EQ(fixDataPath(U"a/b:/c"), U"quorvane://data/a/b:/c");
}

TEST(DataPaths, SchemePathsMapToFoldersBesideTheExecutable)
{
    const DataFolders beside {U"/opt/t/bin", U"/opt/t/bin/data", U"/opt/t/bin/data"};
    EXPECT_EQ(mapSchemePath(U"quorvane://data/songs/a", beside), U"/opt/t/bin/data/songs/a");
    EXPECT_EQ(mapSchemePath(U"quorvane://internal/x", beside), U"/opt/t/bin/internal/x");
    EXPECT_EQ(mapSchemePath(U"quorvane://external/x", beside), U"/opt/t/bin/external/x");
    EXPECT_EQ(mapSchemePath(U"quorvane://other/x", beside), U"");
    EXPECT_EQ(mapSchemePath(U"Quorvane://data/x", beside), U"Quorvane://data/x");
    EXPECT_EQ(mapSchemePath(U"songs/a", beside), U"songs/a");
    // "\u012E\u012E\u012F" would reach the file system as "../".
    EXPECT_EQ(mapSchemePath(U"quorvane://data/songs/\u012E\u012E\u012Fx", beside), U"");
    EXPECT_EQ(mapSchemePath(U"/tmp/\u012E\u012E\u012Fx", beside), U"");
}

TEST(DataPaths, AnInstalledProgramReadsItsShareFolderAndWritesTheUsersOwn)
{
    const DataFolders installed {U"/usr/bin", U"/usr/share/kovo-tracker/data", U"/home/u/.local/share/kovo-tracker"};
    EXPECT_EQ(mapSchemePath(U"quorvane://data/zukafont.png", installed), U"/usr/share/kovo-tracker/data/zukafont.png");
    EXPECT_EQ(mapSchemePath(U"quorvane://data/songs/tmp.dat", installed),
              U"/home/u/.local/share/kovo-tracker/songs/tmp.dat");
    EXPECT_EQ(mapSchemePath(U"quorvane://user/unsaved_song.dat", installed),
              U"/home/u/.local/share/kovo-tracker/unsaved_song.dat");
    // With no home to write to, the user's files name no file at all.
    const DataFolders homeless {U"/usr/bin", U"/usr/share/kovo-tracker/data", U""};
    EXPECT_EQ(mapSchemePath(U"quorvane://data/songs/a", homeless), U"");
    EXPECT_EQ(mapSchemePath(U"quorvane://user/a", homeless), U"");
}

TEST(DataPaths, ExecutableDirectoryIsTheFolderOfThisProgram)
{
    String directory = findExecutableDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_NE(directory.back(), U'/');
    EXPECT_EQ(directory.substr(directory.rfind(U'/') + 1), U"bin");
}

TEST(DataPaths, RelativePathsAreMadeAbsoluteAgainstTheCurrentFolder)
{
    EXPECT_EQ(absolutePath(U"/a/b"), U"/a/b");
    String made = absolutePath(U"tune");
    EXPECT_EQ(made.front(), U'/');
    EXPECT_EQ(made.substr(made.size() - 5), U"/tune");
}

namespace {

// A prefix with an executable's folder in it, and the environment the
// search reads, put back afterwards.
class FolderSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"XDG_DATA_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        make("usr/bin");
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved) value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }

    void make(const std::string& below) { ASSERT_EQ(std::system(("mkdir -p '" + at(below) + "'").c_str()), 0); }
    std::string at(const std::string& below) const { return folder.path() + "/" + below; }
    String wide(const std::string& below) const { return widen(at(below)); }

    TempFolder folder;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

} // namespace

TEST_F(FolderSearch, ABuildFolderKeepsEverythingInItsDataFolder)
{
    make("usr/bin/data/songs");
    DataFolders found = findDataFolders(wide("usr/bin"));
    EXPECT_EQ(found.resources, wide("usr/bin/data"));
    EXPECT_EQ(found.userFiles, wide("usr/bin/data"));
    EXPECT_FALSE(found.userFilesMadeOnUse);
}

TEST_F(FolderSearch, AnInstalledProgramUsesShareAndTheXdgDataFolder)
{
    setenv("XDG_DATA_HOME", at("xdg").c_str(), 1);
    DataFolders found = findDataFolders(wide("usr/bin"));
    EXPECT_EQ(found.resources, wide("usr/share/kovo-tracker/data"));
    EXPECT_EQ(found.userFiles, wide("xdg/kovo-tracker"));
    EXPECT_TRUE(found.userFilesMadeOnUse);

    // Resources beside the program without a songs folder: songs go home.
    make("usr/bin/data");
    found = findDataFolders(wide("usr/bin"));
    EXPECT_EQ(found.resources, wide("usr/bin/data"));
    EXPECT_EQ(found.userFiles, wide("xdg/kovo-tracker"));
}

TEST_F(FolderSearch, WithoutAnAbsoluteXdgDataHomeSongsGoBelowHome)
{
    setenv("HOME", at("home").c_str(), 1);
    for (const char* xdg : {"", "relative/share"}) {
        setenv("XDG_DATA_HOME", xdg, 1);
        EXPECT_EQ(findDataFolders(wide("usr/bin")).userFiles, wide("home/.local/share/kovo-tracker")) << xdg;
    }
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(findDataFolders(wide("usr/bin")).userFiles, wide("home/.local/share/kovo-tracker"));
}

TEST_F(FolderSearch, TheUsersSongsFolderIsMadeOnFirstUseAndPrivate)
{
    setenv("XDG_DATA_HOME", at("fresh/share").c_str(), 1);
    DataFolders found = findDataFolders(wide("usr/bin"));
    EXPECT_TRUE(makeUserFolder(found));
    struct stat info {};
    ASSERT_EQ(stat(at("fresh/share/kovo-tracker/songs").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(makeUserFolder(found));  // there already

    // A file where a folder should be: no folder, and no crash.
    folder.write("blocked", "x");
    setenv("XDG_DATA_HOME", at("blocked").c_str(), 1);
    EXPECT_FALSE(makeUserFolder(findDataFolders(wide("usr/bin"))));
}
