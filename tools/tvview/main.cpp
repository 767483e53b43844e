// tvview MODEL [--frames N] [--screenshot OUT.bmp]
//
// The render harness: starts the device (TAVRIN_VIDEO chooses it), shows the
// model file's first hierarchy (or its only shape, or, in a level file, its
// first object's shape) under a camera (from above at an angle for a shape
// wider than it is tall: a level) and a light set, plays its first sequence,
// with a particle emitter, a line of text and the model as the cursor,
// renders N frames and writes a screenshot of the last one. Without --frames
// it keeps drawing until it is stopped.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/global_materials.h"
#include "Awapi/aw3d/render_material.h"
#include "Awapi/aw3d/screen_geometry.h"
#include "Awapi/aw3d/startup.h"
#include "Awapi/aw3d/texture.h"
#include "Awapi/aw3d/texture_manager.h"
#include "Awapi/aw3d/user_settings.h"
#include "Awapi/camera.h"
#include "Awapi/cursor3d.h"
#include "Awapi/font.h"
#include "Awapi/frame_render.h"
#include "Awapi/light_set.h"
#include "Awapi/model/model_file.h"
#include "Awapi/model/model_node.h"
#include "Awapi/model/sequence_player.h"
#include "Awapi/object.h"
#include "Awapi/particles.h"
#include "Awapi/screenshot.h"
#include "Awapi/shape.h"
#include "chunkfile/register_all.h"
#include "core/clock.h"
#include "image/reader_registry.h"
#include "platform/d3d/d3d_types.h"
#include "platform/d3d/video_backend.h"
#include "platform/files.h"
#include "platform/fpu.h"
#include "platform/paths.h"
#include "platform/sdl/register_video.h"
#include "platform/sdl/window.h"
#include "platform/virtual_clock.h"
#include "tools/tvview/harness_font.h"

namespace {

constexpr uint32_t kWidth = 640, kHeight = 480;
constexpr uint32_t kClearColour = 0xFF203040u;
constexpr uint64_t kRecordingStepNs = 1000;
constexpr uint64_t kFrameNs = 1'000'000'000 / 30;

struct Options {
    std::string model;
    int frames = -1; // until stopped
    std::string screenshot;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            options.frames = std::atoi(argv[++i]);
            if (options.frames < 1) return false;
        } else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
            options.screenshot = std::filesystem::absolute(argv[++i]).string();
        } else if (argv[i][0] != '-' && options.model.empty()) {
            options.model = argv[i];
        } else {
            return false;
        }
    }
    return !options.model.empty();
}

// The model as a placed object with its bounds: the file's first hierarchy,
// else its only shape, else its first object's shape (a level). Null when the
// file holds none of them.
struct LoadedModel {
    AwObject* object = nullptr;
    AwModel* node = nullptr; // the hierarchy, kept while the object shares its sequences
    Vector3 low{0, 0, 0}, high{0, 0, 0};
};

AwShape* FirstShape(AwModelFile& file) {
    if (AwShape* shape = file.LoadSingleShape()) return shape;
    const std::string* name = file.FirstShapedObjectName();
    return name ? file.LoadShape(name->c_str(), nullptr, nullptr, kConvertMergeQuads) : nullptr;
}

LoadedModel LoadModel(const std::string& path) {
    LoadedModel loaded;
    std::unique_ptr<AwModelFile> file = AwModelFile::Open(path);
    if (!file) return loaded;
    List<const std::string*> names;
    file->ListHierarchyNames(names);
    if (!names.IsEmpty()) loaded.node = file->LoadHierarchy(names.Front()->c_str());
    if (loaded.node) {
        loaded.object = new AwObject(*loaded.node, true);
        loaded.low = loaded.object->Min;
        loaded.high = loaded.object->Max;
    } else if (AwShape* shape = FirstShape(*file)) {
        loaded.object = new AwObject(shape, true);
        loaded.low = shape->Min;
        loaded.high = shape->Max;
        shape->ReleaseUse();
    }
    AwLoadPendingTextures(AwNoProgress);
    return loaded;
}

// A camera on the bounds from three radii away, looking down +z, or with
// `fromAbove` from above at 50 degrees, so that a level's floor, walls and
// ramps show.
void FrameBounds(AwCamera& camera, const Vector3& low, const Vector3& high, bool fromAbove) {
    constexpr float kLevelElevation = 4096.0f * 50 / 360; // angle units of 4,096 a turn
    const Vector3 centre = (low + high) * 0.5f;
    const Vector3 half = (high - low) * 0.5f;
    const float radius = std::max(std::sqrt(Dot(half, half)), 0.1f);
    const float w = 1.0f, h = 0.75f;
    camera.SetViewportSize(w, h);
    camera.primaryRange.Near = radius * 0.1f;
    camera.primaryRange.Far = radius * 20.0f;
    camera.UpdateDepthRange();
    camera.SetAngleX(fromAbove ? kLevelElevation : 0.0f); // y grows downward: a positive angle looks down
    Vector3 forward(0, 0, 1);
    if (fromAbove) {
        const float radians = kLevelElevation * 6.28318531f / 4096.0f;
        forward = Vector3(0, std::sin(radians), std::cos(radians));
    }
    camera.position = centre - forward * (radius * 3.0f);
    camera.viewDirty = camera.dirty = true;
    camera.Update();
}

// The cursor camera shows the cursor's space: x from 0 to 1 across the screen.
void SetUpCursorCamera() {
    AwCamera& camera = *AwGetCursorCamera();
    const float w = 1.0f, h = 0.75f;
    camera.SetViewportSize(w, h);
    camera.SetRenderFlag(false);
    camera.position = Vector3(0.5f, 0.5f, 0.0f);
    camera.viewDirty = camera.dirty = true;
}

AwParticleEmitter* SpawnFire(const Vector3& at, AwCamera& camera) {
    AwParticleParams params;
    params.type = 3;
    params.rate = 60.0f;
    params.colour1 = Colour::FromFloats(1.0f, 0.5f, 0.1f, 0.0f);
    params.colour2 = Colour::FromFloats(0.0f, 0.0f, 0.0f, 0.0f);
    params.startSize = 0.05f;
    params.endSize = 0.15f;
    return AwSpawnParticleEmitter(params, at, &camera);
}

std::string BigEndian(uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// An IFF chunk: the id, the big-endian length, the data padded to an even length.
std::string IffChunk(const char* id, const std::string& data) {
    return id + BigEndian(static_cast<uint32_t>(data.size()), 4) + data + (data.size() % 2 ? "\0" : "");
}

// An IFF ILBM image of white pixels with these 8-bit alphas, `side` x `side`
// (a multiple of 16): one bit plane over a colour map of white, and 8 alpha planes.
std::string WhiteIlbm(const std::vector<uint8_t>& alpha, uint32_t side) {
    const uint32_t rowBytes = side / 8;
    const std::string bitmapHeader = BigEndian(side, 2) + BigEndian(side, 2) + BigEndian(0, 4) +
                                     std::string{1, 0, 0, 0} + BigEndian(0, 2) + std::string{1, 1} +
                                     BigEndian(side, 2) + BigEndian(side, 2);
    std::string alphaPlanes = BigEndian(side, 2) + BigEndian(side, 2) + std::string{8, 0};
    for (uint32_t y = 0; y < side; ++y)
        for (int plane = 0; plane < 8; ++plane)
            for (uint32_t byte = 0; byte < rowBytes; ++byte) {
                uint8_t bits = 0;
                for (uint32_t bit = 0; bit < 8; ++bit)
                    if ((alpha[y * side + byte * 8 + bit] >> plane) & 1) bits |= static_cast<uint8_t>(0x80 >> bit);
                alphaPlanes += static_cast<char>(bits);
            }
    const std::string form = "ILBM" + IffChunk("BMHD", bitmapHeader) + IffChunk("CMAP", std::string(6, '\xFF')) +
                             IffChunk("ALPH", alphaPlanes) + IffChunk("BODY", std::string(rowBytes * side, '\0'));
    return IffChunk("FORM", form);
}

// Soft round particles in every type's rectangle (white, their alpha falling
// off from the centre), as "bitmaps\\particles.qim" of a scratch folder
// (images are recognised by their contents).
void WriteParticleTexture(const std::filesystem::path& folder) {
    if (!ParticleTypes) return;
    constexpr uint32_t kSide = 256;
    std::filesystem::create_directories(folder / "bitmaps");
    std::vector<uint8_t> alpha(kSide * kSide, 0);
    for (int t = 0; t < kParticleTypeCount; ++t) {
        const AwParticleType& type = ParticleTypes[t];
        const int x0 = static_cast<int>(type.texU0 * kSide), x1 = static_cast<int>(type.texU1 * kSide);
        const int y0 = static_cast<int>(type.texV0 * kSide), y1 = static_cast<int>(type.texV1 * kSide);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const float dx = (x + 0.5f - (x0 + x1) * 0.5f) / std::max(x1 - x0, 1) * 2.0f;
                const float dy = (y + 0.5f - (y0 + y1) * 0.5f) / std::max(y1 - y0, 1) * 2.0f;
                const float v = std::max(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
                alpha[y * kSide + x] = static_cast<uint8_t>(v * 255.0f);
            }
    }
    const std::string image = WhiteIlbm(alpha, kSide);
    plat::File file = plat::File::Open((folder / "bitmaps" / "particles.qim").string(), plat::kAccessWrite,
                                       plat::FileDisposition::CreateAlways);
    file.Write(image.data(), static_cast<uint32_t>(image.size()));
}

AwTexture* LoadHarnessFontTexture(const std::filesystem::path& folder) {
    const std::string path = (folder / "font.ppm").string();
    if (!WriteHarnessFontImage(path)) return nullptr;
    AwTexture* texture = TextureManager.Get(path.c_str(), 0);
    TextureManager.LoadPending(AwNoProgress);
    return texture;
}

// White glyphs on black added onto the scene.
void MakeAdditive(RenderMaterial& material) {
    material.SrcBlend = plat::kBlendOne;
    material.DestBlend = plat::kBlendOne;
    material.AlphaTest = 0;
    material.RecordStateBlock();
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: tvview MODEL [--frames N] [--screenshot OUT.bmp]\n");
        return 2;
    }
    plat::SetGameFpuMode();
    // A run of N frames is a recording: time moves by the frame, not the wall
    // clock, so the same run draws the same pixels.
    std::unique_ptr<plat::VirtualClock> recordingClock;
    if (options.frames > 0) recordingClock = std::make_unique<plat::VirtualClock>(kRecordingStepNs);
    plat::RegisterSdlVideoBackend();
    RegisterImageReaders();
    RegisterAllChunkClasses();
    RecalibrateClocks(0);
    plat::SelectVideoBackend();

    const char* video = std::getenv("TAVRIN_VIDEO");
    plat::WindowHandle window = nullptr;
    if (!video || std::strcmp(video, "null") != 0) window = plat::CreateProgramWindow("tvview", kWidth, kHeight);
    int headless = 0;
    UserSettings = AwUserSettings();
    ScreenGeometry = AwScreenGeometry();
    ScreenGeometry.DisplayFlags = kDisplayWindowed;
    AwStartupRecord record;
    record.Instance = &headless;
    record.Window = window ? window : &headless;
    if (!AwStartup(record) || AwSetDisplayMode(kWidth, kHeight, ScreenGeometry.Depth, kDisplayWindowed) <= 0 ||
        !AwCreateDirect3D()) {
        std::fprintf(stderr, "tvview: cannot start the device\n");
        return 1;
    }
    // The window's client area in screen coordinates, where presents land.
    const plat::Rect origin = window ? plat::ScreenToClient(window, plat::Rect{}) : plat::Rect{};
    ScreenGeometry.Destination = {-origin.left, -origin.top, -origin.left + static_cast<int32_t>(kWidth),
                                  -origin.top + static_cast<int32_t>(kHeight)};

    auto* sceneLights = new AwLightSet;
    AwCreateGlobalLightSets(sceneLights);
    for (AwLightSet* set : {sceneLights, CursorLightSet}) {
        set->SetAmbient(Colour::FromFloats(0.3f, 0.3f, 0.3f, 1.0f));
        set->AddDirectionalLight(Colour::FromFloats(0.8f, 0.8f, 0.8f, 1.0f), Colour::FromFloats(0, 0, 0, 1),
                                 Vector3(0.3f, 0.6f, 1.0f));
    }

    const std::string modelDir = std::filesystem::absolute(options.model).parent_path().string();
    const std::string modelName = std::filesystem::path(options.model).filename().string();
    plat::SetCurrentDir(modelDir); // textures are named relative to the model
    LoadedModel model = LoadModel(modelName);
    if (!model.object) {
        std::fprintf(stderr, "tvview: cannot load a model from %s\n", options.model.c_str());
        return 1;
    }

    AwCamera camera;
    // A shape wider than it is tall is a level; hierarchies are shown from the front.
    const Vector3 extent = model.high - model.low;
    FrameBounds(camera, model.low, model.high, !model.node && std::max(extent.x, extent.z) > extent.y);
    AwCurrentCamera = &camera;

    // The harness's own images live in a scratch folder for the run.
    // The name must differ between runs that start together, whatever their clock says.
    std::filesystem::path scratch;
    std::random_device entropy;
    std::error_code error;
    do scratch = std::filesystem::temp_directory_path(error) / ("tvview-" + std::to_string(entropy()));
    while (!error && !std::filesystem::create_directory(scratch, error) && !error);
    if (error) {
        std::fprintf(stderr, "tvview: cannot make a scratch folder: %s\n", error.message().c_str());
        return 1;
    }
    plat::SetCurrentDir(scratch.string());
    // A first start shows where each type's image lies; the second loads the texture made from that.
    AwParticlesInit();
    WriteParticleTexture(scratch);
    AwParticlesShutdown();
    AwParticlesInit();
    plat::SetCurrentDir(modelDir);
    ParticleFloorHeight = model.high.y + 100.0f;
    SpawnFire(Vector3((model.low.x + model.high.x) * 0.5f, model.low.y, (model.low.z + model.high.z) * 0.5f),
              camera);

    const HarnessFontLayout layout = HarnessFontLayoutOf();
    AwFont font;
    AwTexture* fontTexture = LoadHarnessFontTexture(scratch);
    font.Construct(fontTexture ? fontTexture : NullTexture, kHarnessLineHeight, layout.widths, layout.rows);
    MakeAdditive(*font.material);

    if (model.node) {
        SetUpCursorCamera();
        AwSetCursorModel(model.node);
        // The cursor's space spans the screen's width in one unit: shrink the model to a small pointer.
        AwObject* cursor = AwCursorObject();
        const float scale = 0.05f / cursor->Max.x;
        cursor->SetScale(Vector3(scale, scale, scale));
        cursor->ClearFlagBit31();
        AwSetCursorPosition(560, 400);
        AwSetCursorIdleSequence(0);
    }

    // Recorded frames are 1/30 s apart; shown ones last as long as they took.
    const int32_t recordedFrameTicks = std::max(CurrentTicksPerSecond() / 30, 1);
    uint32_t time = 0;
    model.object->PlaySequence(0, kUnitSpeed, -1, time, nullptr, 0, false);
    const std::string caption = "TVVIEW " + modelName;
    for (int frame = 0; options.frames < 0 || frame < options.frames; ++frame) {
        AwClearColour = kClearColour;
        AwBeginScene();
        AwClear();
        const int32_t frameTicks =
            recordingClock || frame == 0 ? recordedFrameTicks : static_cast<int32_t>(LastFrameTicks);
        AwParticlesUpdate(frameTicks);
        time += static_cast<uint32_t>(frameTicks);
        model.object->QueueForDrawing(static_cast<int32_t>(time), &camera, sceneLights,
                                      GlobalMaterials[0], 0, 0, nullptr, nullptr, nullptr);
        font.QueueText({0.02f, 0.02f, 0.98f, 0.2f}, caption.c_str(), 0xFFFFFFFFu, nullptr, 200, 0, 0.0f, nullptr, 0);
        AwRenderFrame(&camera, nullptr, nullptr);
        if (recordingClock) recordingClock->Advance(kFrameNs);
        if (window && plat::PollWindowClosed(window)) break;
    }

    int result = 0;
    if (!options.screenshot.empty()) {
        std::filesystem::remove(options.screenshot);
        if (!AwWriteScreenshot(options.screenshot)) {
            std::fprintf(stderr, "tvview: cannot write %s\n", options.screenshot.c_str());
            result = 1;
        }
    }

    AwReleaseCursor();
    font.Destroy();
    AwParticlesShutdown();
    model.object->Release();
    if (model.node) model.node->ReleaseUse();
    AwShutdown();
    if (window) plat::DestroyProgramWindow(window);
    std::filesystem::remove_all(scratch, error);
    return result;
}
