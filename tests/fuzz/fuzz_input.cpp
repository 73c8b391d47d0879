#include "tests/fuzz/fuzz_input.h"

#include "host/glfw_game.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

// One folder per process, so that parallel jobs never share a file; removed
// when the process ends normally.
class FuzzFolder {
public:
    FuzzFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kovo_fuzz_XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~FuzzFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

const std::string& fuzzFolder()
{
    static const FuzzFolder folder;
    return folder.path();
}

} // namespace

void ensureFuzzHost()
{
    // The renderer asks the host for its view; no window opens until asked.
    static BBQuorvaneGame game;
}

std::string writeFuzzFile(const std::string& name, const uint8_t* data, size_t size)
{
    std::string path = fuzzFolder() + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    return path;
}

void fuzzCheck(bool holds, const char* what)
{
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}
