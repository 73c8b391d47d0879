// A main for a fuzz target built without the fuzzer: every file named, and
// every file in every folder named, goes through the target once, so the
// sanitizer build replays the committed seeds without a clang build of all
// the libraries. A seed that crashes fails the run through the sanitizer's
// report or the target's abort; one that leaks, through the leak check at
// exit.
//
// usage: TARGET PATH...   (a folder also gets the empty input first, as the
// fuzzer tries it before the seeds of a corpus)
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

// The inputs a path stands for, in a stable order; none when it cannot be read.
std::vector<fs::path> inputsOf(const fs::path& path, std::error_code& error)
{
    if (!fs::is_directory(path, error)) {
        if (fs::is_regular_file(path, error)) return {path};
        if (!error) error = std::make_error_code(std::errc::no_such_file_or_directory);
        return {};
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(path, error)) {
        if (entry.is_regular_file(error)) files.push_back(entry.path());
        if (error) return {};
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool readFile(const fs::path& path, std::vector<uint8_t>& bytes)
{
    std::ifstream file(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// The bytes go in a block of exactly their size, as the fuzzer hands them
// over, so that a read one past the end is a sanitizer's report.
void runInput(const std::vector<uint8_t>& bytes)
{
    std::unique_ptr<uint8_t[]> copy = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), copy.get());
    LLVMFuzzerTestOneInput(copy.get(), bytes.size());
}

// Replays what a path stands for; false, with a message, when it holds
// nothing to replay or cannot be read.
bool replayPath(const char* path, size_t& replayed)
{
    std::error_code error;
    const std::vector<fs::path> inputs = inputsOf(path, error);
    if (error || inputs.empty()) {
        std::fprintf(stderr, "no seeds to replay in %s%s%s\n", path, error ? ": " : "",
                     error ? error.message().c_str() : "");
        return false;
    }
    if (fs::is_directory(path)) runInput({});
    for (const fs::path& input : inputs) {
        std::vector<uint8_t> bytes;
        if (!readFile(input, bytes)) {
            std::fprintf(stderr, "cannot read %s\n", input.c_str());
            return false;
        }
        std::fprintf(stderr, "replaying %s (%zu bytes)\n", input.c_str(), bytes.size());
        runInput(bytes);
        ++replayed;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
        return 2;
    }
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i)
        if (!replayPath(argv[i], replayed)) return 2;
    std::fprintf(stderr, "replayed %zu seeds\n", replayed);
    return 0;
}
