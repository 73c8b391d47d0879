#include "host/data_paths.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(mapSchemePath(U"quorvane://data/songs/a", U"/opt/t/bin"), U"/opt/t/bin/data/songs/a");
    EXPECT_EQ(mapSchemePath(U"quorvane://internal/x", U"/opt/t/bin"), U"/opt/t/bin/internal/x");
    EXPECT_EQ(mapSchemePath(U"quorvane://external/x", U"/opt/t/bin"), U"/opt/t/bin/external/x");
    EXPECT_EQ(mapSchemePath(U"quorvane://other/x", U"/opt/t/bin"), U"");
    EXPECT_EQ(mapSchemePath(U"Quorvane://data/x", U"/opt/t/bin"), U"Quorvane://data/x");
    EXPECT_EQ(mapSchemePath(U"songs/a", U"/opt/t/bin"), U"songs/a");
}

TEST(DataPaths, ExecutableDirectoryIsTheFolderOfThisProgram)
{
    String directory = findExecutableDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_NE(directory.back(), U'/');
    EXPECT_EQ(directory.substr(directory.rfind(U'/') + 1), U"bin");
}
