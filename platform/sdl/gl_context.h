#pragma once
// The OpenGL backend's context: OpenGL 2.1 (compatibility) on a hidden window
// of its own, current on the thread that made it, the render thread. Every
// OpenGL call of the backend happens on that thread.

#include <functional>
#include <memory>
#include <string>

#include "platform/d3d/backend.h"
#include "platform/sdl/gl_api.h"
#include "platform/threads.h"

struct SDL_Window;

namespace plat {

class GlContext {
public:
    // Null when no display can be opened or the driver lacks what the backend
    // needs (OpenGL 2.1, framebuffer objects, the extended texture combiners,
    // BGRA vertex colours); why goes to *failure.
    static std::unique_ptr<GlContext> Create(std::string* failure);
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    const GlApi& Api() const { return api_; }
    bool OnRenderThread() const { return CurrentThreadId() == thread_; }
    const std::string& Renderer() const { return renderer_; }
    uint32_t MaxTextureSize() const { return maxTextureSize_; }
    uint32_t TextureUnits() const { return textureUnits_; }
    uint32_t ClipPlanes() const { return clipPlanes_; }

    // Presents into window: the context is made current on it, draw fills
    // its framebuffer (of the size it is given), the window is swapped and
    // the context goes back to its own window.
    void PresentInto(WindowHandle window, const std::function<void(int width, int height)>& draw);

private:
    GlContext() = default;

    SDL_Window* home_ = nullptr;
    void* context_ = nullptr;
    ThreadId thread_ = 0;
    GlApi api_;
    std::string renderer_;
    uint32_t maxTextureSize_ = 0, textureUnits_ = 0, clipPlanes_ = 0;
};

} // namespace plat
