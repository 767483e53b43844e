// Opens any bytes as a model file on the null device and uses everything in
// it: the single shape and every hierarchy converted, placed, animated and
// bounded, dummies loaded, the hierarchy's cache record written and read
// back. The same bytes are also read as a cache record. Nothing may read or
// write out of range, and a record the writer accepted must read back.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/aw3d/user_settings.h"
#include "Awapi/model/dummy_object.h"
#include "Awapi/model/model_file.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "Awapi/render_item.h"
#include "Awapi/shape.h"
#include "Awapi/shape_instance.h"
#include "chunkfile/register_all.h"
#include "core/bytes.h"
#include "core/list.h"
#include "platform/d3d/null_device.h"
#include "platform/d3d/video_backend.h"
#include "platform/files.h"

namespace {

constexpr uint32_t kSubdivisionLimit = 64;
constexpr uint32_t kHalfSecond = 2000;

std::string ScratchPath(const char* suffix) {
    static const std::string stem =
        (std::filesystem::temp_directory_path() / ("tavrin-fuzz-" + std::to_string(std::random_device{}()))).string();
    return stem + suffix;
}

void Require(bool condition) {
    if (!condition) std::abort();
}

void StartEngine() {
    static int window = 0;
    RegisterAllChunkClasses();
    UserSettings = AwUserSettings();
    ScreenGeometry = AwScreenGeometry();
    plat::InstallVideoBackend(std::make_shared<plat::NullBackend>(plat::NullBackend::DefaultFacts()));
    AwStartupRecord record;
    record.Instance = record.Window = &window;
    Require(AwStartup(record) && AwSetDisplayMode(640, 480, 16, 0) > 0 && AwCreateDirect3D());
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    plat::File file = plat::File::Open(path, plat::kAccessRead, plat::FileDisposition::OpenExisting);
    std::vector<uint8_t> bytes(file.IsOpen() ? static_cast<size_t>(file.Size()) : 0);
    Require(bytes.empty() || file.ReadExact(bytes.data(), static_cast<uint32_t>(bytes.size())));
    return bytes;
}

// Writes the tree's cache record; when the writer accepts it, it must read back whole.
void RoundTripCache(const AwShapeInstance& tree) {
    const std::string path = ScratchPath(".cache");
    bool written = false;
    {
        plat::File file = plat::File::Open(path, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
        written = file.IsOpen() && tree.WriteCached(file);
    }
    const std::vector<uint8_t> record = ReadAll(path);
    plat::DeleteFile(path);
    if (!written) return;
    ByteReader reader(record.data(), record.size());
    AwShapeInstance* again = AwShapeInstance::ReadCached(reader);
    Require(again != nullptr && reader.remaining() == 0);
    delete again;
}

void UseHierarchy(AwModelFile& file, const char* name) {
    AwModel* node = file.LoadHierarchy(name);
    if (!node) return;
    auto* object = new AwObject(*node, true);
    for (int32_t n = -1; n < 3; ++n) object->PlaySequence(n, kUnitSpeed, 2, 0, nullptr, 0, false);
    object->PlaySequenceRange(0, kUnitSpeed, 65536, 0, 0, nullptr, nullptr, 0, false);
    for (uint32_t time = 0; time <= 4 * kHalfSecond; time += kHalfSecond) object->AdvanceSequences(time, 0);
    if (object->Root) {
        object->Root->BuildBounds(kSubdivisionLimit);
        RoundTripCache(*object->Root);
    }
    object->Release();
    node->ReleaseUse();
}

void UseModel(const std::string& path) {
    std::unique_ptr<AwModelFile> file = AwModelFile::Open(path);
    if (!file) return;
    if (AwShape* shape = file->LoadSingleShape()) shape->ReleaseUse();
    List<const std::string*> names;
    file->ListHierarchyNames(names);
    std::vector<std::string> copies;
    for (const std::string* name : names) copies.push_back(*name);
    for (const std::string& name : copies) UseHierarchy(*file, name.c_str());
    std::vector<AwDummyObject> dummies;
    AwLoadDummies(dummies, *file, Vector3(0, 0, 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool started = (StartEngine(), true);
    (void)started;
    if (size > 0xFFFFFFFEu) return 0;

    const std::string path = ScratchPath(".qif");
    {
        plat::File out = plat::File::Open(path, plat::kAccessWrite, plat::FileDisposition::CreateAlways);
        Require(out.IsOpen() && out.Write(data, static_cast<uint32_t>(size)));
    }
    UseModel(path);
    plat::DeleteFile(path);

    ByteReader reader(data, size);
    delete AwShapeInstance::ReadCached(reader);
    TextureManager.RemoveUnused();
    return 0;
}
