// Runs fuzz targets without a fuzzer: every file named on the command line,
// and every file of every folder named there, goes once through
// LLVMFuzzerTestOneInput. A fault in the target ends the run; otherwise the
// count of inputs is printed.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::string> InputsOf(const std::string& name) {
    const uint32_t attributes = plat::GetFileAttributes(name);
    if (attributes == plat::kInvalidAttributes || !(attributes & plat::kAttrDirectory)) return {name};
    std::vector<std::string> inputs;
    plat::FileFinder finder;
    plat::FindData found;
    for (bool more = finder.First(name + "/*", found); more; more = finder.Next(found))
        if (!(found.attributes & plat::kAttrDirectory)) inputs.push_back(name + "/" + found.name);
    return inputs;
}

} // namespace

int main(int argc, char** argv) {
    int passed = 0, failed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const std::string& input : InputsOf(argv[i])) {
            std::string bytes;
            if (!plat::ReadWholeFile(input, bytes)) {
                std::fprintf(stderr, "cannot read %s\n", input.c_str());
                ++failed;
                continue;
            }
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            ++passed;
        }
    }
    if (passed + failed == 0) {
        std::fputs("no inputs\n", stderr);
        return 1;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
