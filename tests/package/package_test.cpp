// The package as a user meets it: built by CPack from this build, judged by
// lintian, desktop-file-validate, appstreamcli and man, then unpacked into a
// folder of its own and run from there by a user whom file modes bind
// (tests/support/ordinary_user.h) with a fresh home, on real X events.
#include "song/song_file.h"
#include "tests/support/child_process.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/screen_text.h"
#include "tests/support/tracker_process.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t nameInk = 0x9490A4;

void shell(const std::string& command)
{
    if (std::system(command.c_str()) != 0) throw std::runtime_error("command failed: " + command);
}

// Runs a program to its end: its exit status, and what it printed on both outputs.
struct Outcome {
    int status = -1;
    std::string output;
    std::string errors;  // the standard error alone
};

Outcome run(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {})
{
    ChildProcess child(argv, environment);
    if (!child.waitExit(240)) throw std::runtime_error(argv[0] + " did not end");
    return {child.exitStatus(), child.standardOutput() + child.standardError(), child.standardError()};
}

// Lines of the text that start with any of the prefixes.
std::string linesStartingWith(const std::string& text, const std::vector<std::string>& prefixes)
{
    std::string found;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        for (const std::string& prefix : prefixes)
            if (line.rfind(prefix, 0) == 0) found += line + "\n";
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return found;
}

ino_t inodeOf(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// Every entry below the folder with its type, mode, size and time.
std::string listing(const std::string& folder)
{
    Outcome found = run({"find", folder, "-printf", "%p %y %m %s %T@\n"});
    if (found.status != 0) throw std::runtime_error("find failed: " + found.output);
    return found.output;
}

// The package is made and unpacked once for all the tests of the program.
class Package : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        char pattern[] = "/tmp/kovo-package-XXXXXX";
        if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
        top = pattern;
        shell("chmod 755 '" + top + "' && mkdir '" + root() + "'");
        // The build of the program under test is the one packaged.
        made = run({"cpack", "--config", programDirectory() + "/../CPackConfig.cmake", "-B", top + "/pack"});
        if (made.status != 0) return;
        shell("dpkg-deb -x '" + deb() + "' '" + root() + "'");
        // lintian is slow: it works while the program is tried out.
        lintian = std::make_unique<ChildProcess>(std::vector<std::string> {"lintian", "--no-tag-display-limit", deb()});
    }
    static void TearDownTestSuite()
    {
        lintian.reset();
        shell("rm -rf '" + top + "'");
    }

    // Each test has a fresh home, the ordinary user's.
    void SetUp() override
    {
        ASSERT_EQ(made.status, 0) << made.output;
        home = top + "/home-" + std::to_string(++runs);
        shell("mkdir '" + home + "' && chown " + ordinaryUser().owner + " '" + home + "'");
    }

    static std::string root() { return top + "/root"; }
    static std::string deb() { return top + "/pack/" KOVO_PACKAGE_FILE; }
    static std::string installed(const std::string& below) { return root() + "/usr/" + below; }

    // The unpacked program, run by that user with a fresh home and none of the
    // XDG folders set. TrackerProcess starts its own copy of the build's
    // program, so the launcher runs the unpacked one in its place (the
    // copy's path only fills the shell's $0).
    void startAsOrdinaryUser(const std::string& arguments, const std::vector<std::string>& environment = {})
    {
        std::vector<std::string> launcher = ordinaryUser().launcher;
        launcher.insert(launcher.end(), {"env", "-u", "XDG_DATA_HOME", "-u", "XDG_CONFIG_HOME", "HOME=" + home});
        launcher.insert(launcher.end(), environment.begin(), environment.end());
        launcher.insert(launcher.end(), {"sh", "-c", "exec '" + installed("bin/kovo-tracker") + "' " + arguments});
        tracker = std::make_unique<TrackerProcess>(launcher, [](const std::string&) {});
        ASSERT_TRUE(tracker->waitForWindow(60)) << tracker->process().standardOutput();
    }

    bool waitForStatus(const std::string& status)
    {
        return waitFor([&] { return reader.status(tracker->screenshot()) == status; }, 30);
    }

    std::string shownName() { return reader.read(tracker->screenshot(), 11, 441, 32, nameInk); }

    // Types a name into the empty song-name field, and again when the
    // screen shows otherwise: on a busy machine two keys can reach the
    // program within one update step, which takes one character.
    void nameSong(const std::string& name)
    {
        const std::string wanted = name + std::string(32 - name.size(), ' ');
        tracker->click(100, 450);
        for (int attempt = 0; attempt < 5 && shownName() != wanted; ++attempt) {
            for (int cell = 0; cell < 32 && shownName().find_first_not_of(' ') != std::string::npos; ++cell)
                tracker->key("BackSpace", 200);
            tracker->type(name, 200);
            waitFor([&] { return shownName() == wanted; }, 5);
        }
        ASSERT_EQ(shownName(), wanted);
        tracker->key("Return");
    }

    std::string songsFolder() const { return home + "/.local/share/kovo-tracker/songs/"; }

    std::string home;
    std::unique_ptr<TrackerProcess> tracker;
    ScreenText reader;

    static std::string top;
    static Outcome made;
    static std::unique_ptr<ChildProcess> lintian;
    static int runs;
};

std::string Package::top;
Outcome Package::made;
std::unique_ptr<ChildProcess> Package::lintian;
int Package::runs = 0;

TEST_F(Package, StartsAsDescribedAndSavesIntoTheUsersDataFolderOnly)
{
    std::string before = listing(root() + "/usr");
    startAsOrdinaryUser("");
    Picture shown;
    ASSERT_TRUE(waitFor([&] { return reader.status(shown = tracker->screenshot()) == "Standby..."; }, 30));
    Picture reference = loadPng(KOVO_FIRST_SCREEN_REFERENCE);
    EXPECT_TRUE(shown.pixels == reference.pixels) << "the first screen is not the reference picture";

    nameSong("tune");
    tracker->key("F11");
    EXPECT_TRUE(waitForStatus("File Saved..."));
    EXPECT_EQ(readFileBytes(songsFolder() + "tune").size(), 1675u);
    EXPECT_TRUE(tracker->closeWindow());
    EXPECT_EQ(listing(root() + "/usr"), before) << "the installed files changed";

    // The desktop's MIME data, from a copy of the package's, names the saved song.
    const std::string mime = top + "/mime-data";
    shell("mkdir -p '" + mime + "' && cp -r '" + installed("share/mime") + "' '" + mime + "/' && update-mime-database '" +
          mime + "/mime' >/dev/null 2>&1");
    Outcome type = run({"xdg-mime", "query", "filetype", songsFolder() + "tune"},
                       {"XDG_DATA_DIRS=" + mime, "XDG_DATA_HOME=" + home + "/none", "XDG_CURRENT_DESKTOP=GNOME",
                        "GIO_USE_VFS=local"});
    EXPECT_EQ(type.output, "application/x-kovo-song\n");
}

// The Play action of the desktop entry: the song given is loaded and plays;
// stopped, SAVE writes the same file again (a new file put in its place).
TEST_F(Package, PlaysASongGivenWithPlayAndSavesItBackToItsFile)
{
    Song song;
    song.patternColumns = blankColumns();
    song.speed = 7;
    song.patternColumns[0][0] = U'q';
    const std::string path = home + "/My Song";
    const std::string bytes = encodeUtf8(songText(song));
    std::ofstream(path, std::ios::binary) << bytes;
    shell("chown " + ordinaryUser().owner + " '" + path + "'");
    ino_t original = inodeOf(path);

    startAsOrdinaryUser("--play '" + path + "'");
    EXPECT_TRUE(waitForStatus("Playing..."));
    EXPECT_EQ(shownName().rfind("My Song ", 0), 0u) << shownName();
    tracker->key("F1");
    EXPECT_TRUE(waitForStatus("Standby..."));
    tracker->key("F11");
    EXPECT_TRUE(waitForStatus("File Saved..."));
    EXPECT_NE(inodeOf(path), original);
    std::string saved = readFileBytes(path);
    ASSERT_EQ(saved.size(), bytes.size());
    EXPECT_EQ(saved.substr(0, 8), bytes.substr(0, 8));  // speed 7, the note
    EXPECT_FALSE(inodeOf(songsFolder() + "My Song"));
    // The task bar groups the window with the menu entry that started it.
    std::string entry = readFileBytes(installed("share/applications/kovo-tracker.desktop"));
    EXPECT_NE(entry.find("\nStartupWMClass=kovo-tracker\n"), std::string::npos) << entry;
    EXPECT_EQ(XConnection().windowClass(tracker->window()), "kovo-tracker/kovo-tracker");
    EXPECT_TRUE(tracker->closeWindow());
}

// A song the user may not read, and a data folder the user may not write:
// the blank song, "File not found!", "Saving Failed!", and nothing changed.
TEST_F(Package, AnUnreadableSongAndAnUnwritableDataFolderAreReportedAndHarmless)
{
    const std::string locked = top + "/locked-song", share = top + "/root-share";
    // Modes that bind the file's and the folder's owner too, who may be that user.
    shell("printf 'KOV1 private' > '" + locked + "' && chmod 000 '" + locked + "' && mkdir -p '" + share + "' && chmod 555 '" +
          share + "'");
    startAsOrdinaryUser("'" + locked + "'", {"XDG_DATA_HOME=" + share});
    EXPECT_TRUE(waitForStatus("File not found!"));
    tracker->key("F11");
    EXPECT_TRUE(waitForStatus("Saving Failed!"));
    // One character less: a name in the songs folder now.
    tracker->click(100, 450);
    tracker->key("BackSpace Return");
    ASSERT_TRUE(waitFor([&] { return shownName().rfind("locked-son ", 0) == 0; }, 10)) << shownName();
    tracker->key("space");
    EXPECT_TRUE(waitForStatus("Editing..."));
    tracker->key("F11");
    EXPECT_TRUE(waitForStatus("Saving Failed!"));
    EXPECT_TRUE(tracker->process().running());
    EXPECT_TRUE(tracker->closeWindow());
    shell("chmod 600 '" + locked + "'");
    EXPECT_EQ(readFileBytes(locked), "KOV1 private");
    EXPECT_EQ(run({"find", share, "-mindepth", "1"}).output, "");
}

// The examples installed under /usr/share: listed, loaded and saved as the
// user's own copy, the installed file as it was.
TEST_F(Package, ListsTheInstalledExamplesAndSavesACopyIntoTheUsersSongs)
{
    const std::string example = installed("share/kovo-tracker/data/examples/arp_waltz");
    const std::string original = readFileBytes(example);
    ASSERT_EQ(original.rfind("KOV1", 0), 0u) << "no example under /usr/share";
    std::string before = listing(root() + "/usr");
    startAsOrdinaryUser("");
    ASSERT_TRUE(waitForStatus("Standby..."));
    tracker->key("ctrl+o");
    ASSERT_TRUE(waitFor([&] {
        return reader.read(tracker->screenshot(), 0, 48, 34, nameInk).rfind("arp_waltz", 0) == 0;
    }, 30));
    Picture shown = tracker->screenshot();
    EXPECT_EQ(reader.read(shown, 0, 24, 34, nameInk).substr(31), "5/5");
    EXPECT_EQ(reader.read(shown, 0, 48, 34, nameInk).substr(24, 7), "example");
    tracker->key("Return");
    ASSERT_TRUE(waitForStatus("File Loaded..."));
    tracker->key("F11");
    EXPECT_TRUE(waitForStatus("File Saved..."));
    EXPECT_EQ(readFileBytes(songsFolder() + "arp_waltz"), original);
    EXPECT_TRUE(tracker->closeWindow());
    EXPECT_EQ(listing(root() + "/usr"), before) << "the installed files changed";
}

// The colour themes come with the other resources, read-only.
TEST_F(Package, CarriesTheColourThemes)
{
    for (const char* name : {"high-contrast", "paper", "amber"}) {
        std::string theme = installed(std::string("share/kovo-tracker/data/themes/") + name + ".theme");
        EXPECT_NE(readFileBytes(theme).find("\ntext = "), std::string::npos) << theme;
        struct stat info {};
        ASSERT_EQ(stat(theme.c_str(), &info), 0) << theme;
        EXPECT_EQ(info.st_mode & 0777, 0644u) << theme;
    }
}

// The shipped instruments too, as files of the instrument format.
TEST_F(Package, CarriesTheShippedInstruments)
{
    const std::string folder = installed("share/kovo-tracker/data/instruments");
    int count = 0;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        count += 1;
        EXPECT_EQ(readFileBytes(item.path().string()).rfind("kovo-instrument 1\ndescription = ", 0), 0u) << item.path();
        EXPECT_EQ(static_cast<unsigned>(item.status().permissions()) & 0777, 0644u) << item.path();
    }
    EXPECT_GE(count, 24);
}

// Last, so that lintian has had the other tests' time.
TEST_F(Package, DebiansCheckersFindNothingWrong)
{
    ASSERT_EQ(made.status, 0) << made.output;
    Outcome fields = run({"dpkg-deb", "-f", deb(), "Package", "Section", "Depends"});
    EXPECT_EQ(fields.status, 0) << fields.output;
    EXPECT_NE(fields.output.find("Package: kovo-tracker\nSection: sound\n"), std::string::npos) << fields.output;
    for (const char* library : {"libglfw3", "libopenal1", "libvorbisfile3", "libc6"})
        EXPECT_NE(fields.output.find(library), std::string::npos) << fields.output;

    ASSERT_TRUE(lintian->waitExit(240));
    std::string tags = lintian->standardOutput() + lintian->standardError();
    EXPECT_EQ(lintian->exitStatus(), 0) << tags;
    EXPECT_EQ(linesStartingWith(tags, {"E:", "W:"}), "") << tags;

    Outcome desktop = run({"desktop-file-validate", installed("share/applications/kovo-tracker.desktop")});
    EXPECT_EQ(desktop.status, 0) << desktop.output;
    EXPECT_EQ(desktop.output, "");

    Outcome appstream =
        run({"appstreamcli", "validate", "--no-net", installed("share/metainfo/org.kovotracker.tracker.metainfo.xml")});
    EXPECT_EQ(appstream.status, 0) << appstream.output;
    EXPECT_EQ(linesStartingWith(appstream.output, {"E:", "W:", "I:"}), "") << appstream.output;

    Outcome manual =
        run({"man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", installed("share/man/man1/kovo-tracker.1.gz")},
            {"MANWIDTH=80"});
    EXPECT_EQ(manual.status, 0) << manual.errors;
    EXPECT_EQ(manual.errors, "");
    EXPECT_GT(manual.output.size(), 4000u);

    for (const char* size : {"16x16", "22x22", "24x24", "32x32", "48x48", "64x64", "128x128", "256x256"})
        EXPECT_EQ(loadPng(installed("share/icons/hicolor/") + size + "/apps/kovo-tracker.png").width,
                  std::stoi(size))
            << size;
    struct stat info {};
    EXPECT_NE(stat(installed("share/kovo-tracker/data/songs").c_str(), &info), 0) << "songs are the user's";
}

} // namespace
