#pragma once
// OpenGL textures made from texture surfaces, uploaded on the render thread
// when a draw needs them: again whenever a level's content version moved
// (the surface memory is written on any thread). Mip chains become the
// texture's levels. Textures no draw used for a while are let go.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/sdl/gl_api.h"

namespace plat {

class Surface;

class TextureCache {
public:
    TextureCache() = default;
    ~TextureCache(); // the context current
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    // The texture of the surface, bound to the active unit and up to date;
    // 0 (nothing bound) when its pixels cannot be read (locked, lost, or a
    // format without colours, such as a palette without one).
    GLuint Bind(Surface& texture);
    // Counts a frame; textures no draw used for the last 600 frames are deleted.
    void EndFrame();

private:
    static constexpr uint64_t kIdleFrames = 600;

    struct Entry {
        GLuint name = 0;
        uint32_t width = 0, height = 0;
        std::vector<uint64_t> levelVersions; // of each mip level uploaded
        uint64_t lastFrame = 0;
    };

    bool Upload(Entry& entry, const std::vector<Surface*>& levels);

    std::unordered_map<const Surface*, Entry> entries_;
    std::vector<uint32_t> scratch_;
    uint64_t frame_ = 0;
};

} // namespace plat
