#pragma once
// The images of the display surfaces: one framebuffer object (a colour
// texture, and the depth-stencil buffer of the attached Z-buffer) for each
// surface the backend draws into or shows. The surface's memory and its
// image are kept in step both ways: drawing makes the image newer, and a
// change of the surface's content version (the core wrote its memory) makes
// the memory newer and is uploaded before the image is used again.
//
// Images are stored top row first, as the surfaces' memory is.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/d3d/ddraw_types.h"
#include "platform/sdl/gl_api.h"

namespace plat {

class Surface;

class RenderTargets {
public:
    explicit RenderTargets(const GlApi& gl) : gl_(gl) {}
    ~RenderTargets(); // the context current
    RenderTargets(const RenderTargets&) = delete;
    RenderTargets& operator=(const RenderTargets&) = delete;

    // Binds the framebuffer drawing into colour, with depth's buffer when
    // depth is not null. False when the driver refuses the framebuffer.
    bool Bind(Surface& colour, Surface* depth);
    // Drawing into colour's bound image has happened.
    void MarkDrawn(Surface& colour);
    // Brings the surface's memory up to date when its image is newer.
    void ReadBack(Surface& surface);
    // The flip chain of front has turned in memory: the images turn with it.
    void Flip(Surface& front);
    // Blits the source rectangle of the surface's image (brought up to date
    // first) into the current window's framebuffer, of the given height, at dest.
    void Show(Surface& surface, const Rect& source, const Rect& dest, int destHeight);

private:
    struct Target {
        GLuint texture = 0, framebuffer = 0;
        uint32_t width = 0, height = 0;
        uint64_t syncedVersion = 0; // the content version the image last matched
        bool imageNewer = false;
        GLuint depthAttached = 0;
    };
    struct Depth {
        GLuint renderbuffer = 0;
        uint32_t width = 0, height = 0;
    };

    // The surface's target, made or remade for its size, its memory uploaded when newer.
    Target* Prepare(Surface& surface);
    GLuint DepthBuffer(Surface& depth);
    void Destroy(Target& target);

    const GlApi& gl_;
    std::unordered_map<const Surface*, Target> targets_;
    std::unordered_map<const Surface*, Depth> depths_;
    std::vector<uint32_t> scratch_; // one image as 0xAARRGGBB
};

} // namespace plat
