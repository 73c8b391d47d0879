// Handing a URL to the desktop: xdg-open gets it as one argument, and no
// shell ever reads it.
#include "host/game.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

TEST(OpenUrl, TheUrlReachesXdgOpenAsOneArgumentAndNoShellRunsIt)
{
    TempFolder folder;
    // A stand-in for xdg-open that writes down what it was given.
    std::string seen = folder.path() + "/seen";
    std::string fake = folder.write("xdg-open", "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" + seen + "'\n");
    ASSERT_EQ(chmod(fake.c_str(), 0755), 0);
    std::string marker = folder.path() + "/ran";
    const char* oldPath = std::getenv("PATH");
    std::string savedPath = oldPath ? oldPath : "";
    setenv("PATH", (folder.path() + ":/usr/bin:/bin").c_str(), 1);

    BBGame game;
    std::string url = "https://example.invalid/a b\" ; touch " + marker + " ; echo \"$(touch " + marker + ")";
    game.openUrl(widen(url));
    setenv("PATH", savedPath.c_str(), 1);

    EXPECT_EQ(readFileBytes(seen), "1|" + url);
    struct stat info {};
    EXPECT_NE(stat(marker.c_str(), &info), 0) << "a shell ran part of the URL";

    // A character that would not reach xdg-open as it is sends nothing.
    std::remove(seen.c_str());
    setenv("PATH", (folder.path() + ":/usr/bin:/bin").c_str(), 1);
    game.openUrl(U"https://example.invalid/\u012F");
    setenv("PATH", savedPath.c_str(), 1);
    EXPECT_EQ(readFileBytes(seen), "");
}
