// Replays fuzz inputs without libFuzzer: linked with one harness, it hands
// every file of the given directories (and any file named directly) to the
// harness once, in name order, so a normal sanitizer build checks the
// committed corpus and the saved reproducers. A directory that does not exist
// holds no input (a harness may have no reproducers yet); at least one input
// must be found in all.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> inputsOf(const fs::path& target) {
    std::vector<fs::path> files;
    if (fs::is_directory(target)) {
        for (const auto& entry : fs::recursive_directory_iterator(target))
            if (entry.is_regular_file()) files.push_back(entry.path());
    } else if (fs::is_regular_file(target)) {
        files.push_back(target);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " DIRECTORY-OR-FILE...\n";
        return 2;
    }
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& file : inputsOf(argv[i])) {
            // Named before the run, so a crash report says which input it was.
            std::cerr << "replay " << file.string() << "\n";
            std::string bytes = contentsOf(file);
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            ++replayed;
        }
    }
    std::cout << "replayed " << replayed << " inputs\n";
    return replayed > 0 ? 0 : 1;
}
