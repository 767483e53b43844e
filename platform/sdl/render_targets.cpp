#include "platform/sdl/render_targets.h"

#include <utility>

#include "platform/d3d/blit.h"
#include "platform/d3d/pixel_format.h"
#include "platform/d3d/surface.h"
#include "platform/fpu.h"

namespace plat {
namespace {

PixelView ScratchView(std::vector<uint32_t>& pixels, uint32_t width, uint32_t height) {
    return {reinterpret_cast<uint8_t*>(pixels.data()), int32_t(width * 4), width, height, Argb8888Format()};
}

Rect Whole(uint32_t width, uint32_t height) { return {0, 0, int32_t(width), int32_t(height)}; }

constexpr uint64_t kNeverSynced = ~uint64_t{0};

} // namespace

RenderTargets::~RenderTargets() {
    NearestRoundingScope nearest;
    for (auto& [surface, target] : targets_) Destroy(target);
    for (auto& [surface, depth] : depths_) gl_.DeleteRenderbuffers(1, &depth.renderbuffer);
}

void RenderTargets::Destroy(Target& target) {
    gl_.DeleteFramebuffers(1, &target.framebuffer);
    glDeleteTextures(1, &target.texture);
    target = Target{};
}

RenderTargets::Target* RenderTargets::Prepare(Surface& surface) {
    Target& t = targets_[&surface];
    if (t.width != surface.Width() || t.height != surface.Height()) {
        if (t.framebuffer) Destroy(t);
        t.width = surface.Width();
        t.height = surface.Height();
        glGenTextures(1, &t.texture);
        glBindTexture(GL_TEXTURE_2D, t.texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(t.width), GLsizei(t.height), 0, GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
        gl_.GenFramebuffers(1, &t.framebuffer);
        gl_.BindFramebuffer(GL_FRAMEBUFFER, t.framebuffer);
        gl_.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t.texture, 0);
        t.syncedVersion = kNeverSynced;
    }
    const uint64_t version = surface.ContentVersion();
    if (version != t.syncedVersion) {
        scratch_.resize(size_t{t.width} * t.height);
        const bool read = surface.ReadPixels([&](const PixelView& view) {
            const Rect whole = Whole(t.width, t.height);
            CopyPixels(ScratchView(scratch_, t.width, t.height), whole, whole, view, whole);
        });
        if (read) {
            glBindTexture(GL_TEXTURE_2D, t.texture);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, GLsizei(t.width), GLsizei(t.height), GL_BGRA,
                            GL_UNSIGNED_INT_8_8_8_8_REV, scratch_.data());
            t.syncedVersion = version;
            t.imageNewer = false;
        }
    }
    return &t;
}

GLuint RenderTargets::DepthBuffer(Surface& surface) {
    Depth& d = depths_[&surface];
    if (d.width != surface.Width() || d.height != surface.Height()) {
        if (d.renderbuffer) gl_.DeleteRenderbuffers(1, &d.renderbuffer);
        d.width = surface.Width();
        d.height = surface.Height();
        gl_.GenRenderbuffers(1, &d.renderbuffer);
        gl_.BindRenderbuffer(GL_RENDERBUFFER, d.renderbuffer);
        gl_.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, GLsizei(d.width), GLsizei(d.height));
    }
    return d.renderbuffer;
}

bool RenderTargets::Bind(Surface& colour, Surface* depth) {
    Target* t = Prepare(colour);
    const GLuint depthBuffer = depth ? DepthBuffer(*depth) : 0;
    gl_.BindFramebuffer(GL_FRAMEBUFFER, t->framebuffer);
    if (t->depthAttached != depthBuffer) {
        gl_.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
        t->depthAttached = depthBuffer;
    }
    return gl_.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

void RenderTargets::MarkDrawn(Surface& colour) {
    if (const auto it = targets_.find(&colour); it != targets_.end()) it->second.imageNewer = true;
}

void RenderTargets::ReadBack(Surface& surface) {
    const auto it = targets_.find(&surface);
    if (it == targets_.end() || !it->second.imageNewer) return;
    Target& t = it->second;
    scratch_.resize(size_t{t.width} * t.height);
    gl_.BindFramebuffer(GL_FRAMEBUFFER, t.framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, GLsizei(t.width), GLsizei(t.height), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, scratch_.data());
    const bool written = surface.ReadPixels([&](const PixelView& view) {
        const Rect whole = Whole(t.width, t.height);
        CopyPixels(view, whole, whole, ScratchView(scratch_, t.width, t.height), whole);
    });
    if (written) {
        t.imageNewer = false;
        t.syncedVersion = surface.ContentVersion();
    }
}

void RenderTargets::Flip(Surface& front) {
    std::vector<Surface*> ring{&front};
    for (Surface* s = &front;;) {
        Surface* next = nullptr;
        if (Failed(s->GetAttachedSurface({kDdsCapsFlip}, &next))) break;
        next->Release(); // the chain's root keeps it alive
        if (next == &front || ring.size() > 8) break;
        ring.push_back(next);
        s = next;
    }
    // The memory moved one step towards the front, and each content version
    // with it: an image moves with the memory it matched.
    std::vector<std::pair<bool, Target>> moved;
    for (Surface* s : ring) {
        auto node = targets_.extract(s);
        moved.emplace_back(!node.empty(), node.empty() ? Target{} : node.mapped());
    }
    for (size_t i = 0; i < ring.size(); ++i) {
        auto& [present, t] = moved[(i + 1) % ring.size()];
        if (present) targets_.emplace(ring[i], t);
    }
}

void RenderTargets::Show(Surface& surface, const Rect& source, const Rect& dest, int destHeight) {
    Target* t = Prepare(surface);
    gl_.BindFramebuffer(GL_READ_FRAMEBUFFER, t->framebuffer);
    gl_.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST); // blits are cut by the scissor too
    // The image is stored top row first; the window's rows count from the bottom.
    gl_.BlitFramebuffer(source.left, source.top, source.right, source.bottom, dest.left, destHeight - dest.top,
                        dest.right, destHeight - dest.bottom, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    gl_.BindFramebuffer(GL_FRAMEBUFFER, 0);
}

} // namespace plat
