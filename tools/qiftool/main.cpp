// qiftool: looks into chunk files and converts them between their plain and
// compressed forms.
//   qiftool dump FILE      the chunk tree, one line per chunk (offsets of a
//                          compressed file are in its unpacked image)
//   qiftool unpack IN OUT  writes IN's chunk image as a plain file
//   qiftool pack IN OUT    writes IN's chunk image compressed
// Errors go to standard error with the file name (and, for a malformed file,
// the offset of the fault); the exit status is then 1.

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chunkfile/chunkfileimage.h"
#include "chunkfile/container.h"
#include "chunkfile/filechunk.h"
#include "chunkfile/register_all.h"
#include "tools/qiftool/treedump.h"

namespace {

int Fail(std::string_view file, const std::string& what) {
    std::fprintf(stderr, "qiftool: %.*s: %s\n", static_cast<int>(file.size()), file.data(), what.c_str());
    return 1;
}

// Opens the file as a tree, reporting why it cannot be read.
std::unique_ptr<FileChunk> OpenChecked(std::string_view path, int& status) {
    auto file = FileChunk::Open(path);
    status = 0;
    if (file->Error() == -1) status = Fail(path, "cannot be read");
    if (file->Error() == -2) status = Fail(path, "malformed at offset " + std::to_string(file->ErrorOffset()));
    return file;
}

int Dump(std::string_view path) {
    int status = 0;
    auto file = OpenChecked(path, status);
    if (status != 0) return status;
    std::fputs(DumpChunkTree(*file).c_str(), stdout);
    return 0;
}

int Convert(std::string_view in, std::string_view out, bool compress) {
    int status = 0;
    OpenChecked(in, status);
    if (status != 0) return status;
    const ChunkFileImage read = ReadChunkFileImage(in);
    if (read.error != 0) return Fail(in, "cannot be read");
    const std::vector<uint8_t> bytes = compress ? CompressChunkImage(read.image) : read.image;
    if (bytes.empty() || !WriteFileThroughTemporary(out, bytes)) return Fail(out, "cannot be written");
    return 0;
}

int Usage() {
    std::fputs("usage: qiftool dump FILE | unpack IN OUT | pack IN OUT\n", stderr);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    RegisterAllChunkClasses();
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "dump" && argc == 3) return Dump(argv[2]);
    if (command == "unpack" && argc == 4) return Convert(argv[2], argv[3], false);
    if (command == "pack" && argc == 4) return Convert(argv[2], argv[3], true);
    return Usage();
}
