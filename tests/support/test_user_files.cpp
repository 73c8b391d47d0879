#include "tests/support/test_user_files.h"

#include "base/data_paths.h"

#include <cstdlib>
#include <stdexcept>
#include <sys/stat.h>
#include <vector>

namespace {

std::vector<TestUserFiles*>& activeUserFiles()
{
    static std::vector<TestUserFiles*> active;
    return active;
}

std::optional<std::string> variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void restoreVariable(const char* name, const std::optional<std::string>& value)
{
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
}

void makeFolder(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) != 0) throw std::runtime_error("cannot make " + path);
}

} // namespace

TestUserFiles::TestUserFiles()
    : previousUserFiles_(narrow(processDataFolders().userFiles)), previousConfigHome_(variable("XDG_CONFIG_HOME")),
      previousDataHome_(variable("XDG_DATA_HOME"))
{
    for (const std::string& folder : {dataFolder(), songsFolder(), configHome(), dataHome()}) makeFolder(folder);
    useUserFilesFolder(widen(dataFolder()));
    setenv("XDG_CONFIG_HOME", configHome().c_str(), 1);
    setenv("XDG_DATA_HOME", dataHome().c_str(), 1);
    activeUserFiles().push_back(this);
}

TestUserFiles::~TestUserFiles()
{
    activeUserFiles().pop_back();
    useUserFilesFolder(widen(previousUserFiles_));
    restoreVariable("XDG_CONFIG_HOME", previousConfigHome_);
    restoreVariable("XDG_DATA_HOME", previousDataHome_);
}

const TestUserFiles& userFiles()
{
    if (activeUserFiles().empty()) throw std::logic_error("no test user files outside the test programs' main");
    return *activeUserFiles().back();
}
