#include "platform/sdl/gl_context.h"

#include <SDL.h>

#include <cstdio>

#include "platform/fpu.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/window.h"

namespace plat {
namespace {

bool AtLeastVersion(const char* version, int major, int minor) {
    int have = 0, haveMinor = 0;
    if (!version || std::sscanf(version, "%d.%d", &have, &haveMinor) != 2) return false;
    return have > major || (have == major && haveMinor >= minor);
}

// What the backend needs beyond OpenGL 2.1; empty when all is there.
std::string MissingFeature(const char* version) {
    if (!AtLeastVersion(version, 2, 1)) return "OpenGL 2.1";
    if (!AtLeastVersion(version, 3, 0) && !SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object"))
        return "framebuffer objects";
    if (!SDL_GL_ExtensionSupported("GL_ATI_texture_env_combine3")) return "GL_ATI_texture_env_combine3";
    if (!AtLeastVersion(version, 3, 2) && !SDL_GL_ExtensionSupported("GL_ARB_vertex_array_bgra") &&
        !SDL_GL_ExtensionSupported("GL_EXT_vertex_array_bgra"))
        return "BGRA vertex colours";
    return {};
}

uint32_t GetInt(GLenum name) {
    GLint v = 0;
    glGetIntegerv(name, &v);
    return v > 0 ? uint32_t(v) : 0;
}

} // namespace

std::unique_ptr<GlContext> GlContext::Create(std::string* failure) {
    if (!StartSdlVideo()) {
        *failure = std::string("no display: ") + SDL_GetError();
        return nullptr;
    }
    std::unique_ptr<GlContext> gl(new GlContext());
    NearestRoundingScope nearest;
    RequestGlAttributes();
    gl->home_ = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1, 1,
                                 SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (gl->home_) gl->context_ = SDL_GL_CreateContext(gl->home_);
    if (!gl->context_) {
        *failure = std::string("no OpenGL context: ") + SDL_GetError();
        return nullptr;
    }
    gl->thread_ = CurrentThreadId();
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (std::string missing = MissingFeature(version); !missing.empty()) {
        *failure = "the OpenGL driver lacks " + missing;
        return nullptr;
    }
    if (!LoadGlApi(&gl->api_)) {
        *failure = "the OpenGL driver lacks an entry point";
        return nullptr;
    }
    gl->renderer_ = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    gl->maxTextureSize_ = GetInt(GL_MAX_TEXTURE_SIZE);
    gl->textureUnits_ = GetInt(GL_MAX_TEXTURE_UNITS);
    gl->clipPlanes_ = GetInt(GL_MAX_CLIP_PLANES);
    if (gl->api_.ProvokingVertex) gl->api_.ProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    return gl;
}

GlContext::~GlContext() {
    NearestRoundingScope nearest;
    if (context_) SDL_GL_DeleteContext(context_);
    if (home_) SDL_DestroyWindow(home_);
}

void GlContext::PresentInto(WindowHandle window, const std::function<void(int, int)>& draw) {
    auto* target = static_cast<SDL_Window*>(window);
    if (SDL_GL_MakeCurrent(target, context_) != 0) return;
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(target, &width, &height);
    draw(width, height);
    SDL_GL_SwapWindow(target);
    SDL_GL_MakeCurrent(home_, context_);
}

} // namespace plat
