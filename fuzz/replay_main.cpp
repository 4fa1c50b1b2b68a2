// Runs every file of the given folders (and every file given by name) through the fuzz target
// once. This is how the corpus is replayed without libFuzzer: by CTest, and under the
// sanitizers in CI. A fault ends the run at the input named last on stderr.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path given(argv[i]);
        std::error_code error;
        if (fs::is_directory(given, error)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(given, error)) {
                if (entry.is_regular_file(error)) inputs.push_back(entry.path());
            }
        } else if (fs::is_regular_file(given, error)) {
            inputs.push_back(given);
        } else {
            std::fprintf(stderr, "fuzz_replay: %s is neither a file nor a folder\n", argv[i]);
            return 2;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: fuzz_replay FOLDER_OR_FILE...  (no inputs found)\n");
        return 2;
    }
    std::sort(inputs.begin(), inputs.end());

    for (const fs::path& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "fuzz_replay: cannot read %s\n", path.string().c_str());
            return 2;
        }
        // Exactly as long as the file, so that the address sanitizer sees a read past its end.
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
        std::fprintf(stderr, "%s (%zu bytes)\n", path.string().c_str(), bytes.size());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("fuzz_replay: %zu inputs replayed\n", inputs.size());
    return 0;
}
