#include "platform/sdl/gl_api.h"

#include <SDL.h>

namespace plat {
namespace {

template <class F>
bool Load(F* out, const char* name, const char* fallback = nullptr) {
    void* p = SDL_GL_GetProcAddress(name);
    if (!p && fallback) p = SDL_GL_GetProcAddress(fallback);
    *out = reinterpret_cast<F>(p);
    return p != nullptr;
}

} // namespace

bool LoadGlApi(GlApi* api) {
    bool ok = true;
    ok &= Load(&api->ActiveTexture, "glActiveTexture", "glActiveTextureARB");
    ok &= Load(&api->ClientActiveTexture, "glClientActiveTexture", "glClientActiveTextureARB");
    ok &= Load(&api->LoadTransposeMatrixf, "glLoadTransposeMatrixf", "glLoadTransposeMatrixfARB");
    ok &= Load(&api->SecondaryColorPointer, "glSecondaryColorPointer", "glSecondaryColorPointerEXT");
    ok &= Load(&api->FogCoordPointer, "glFogCoordPointer", "glFogCoordPointerEXT");
    ok &= Load(&api->GenFramebuffers, "glGenFramebuffers", "glGenFramebuffersEXT");
    ok &= Load(&api->DeleteFramebuffers, "glDeleteFramebuffers", "glDeleteFramebuffersEXT");
    ok &= Load(&api->BindFramebuffer, "glBindFramebuffer", "glBindFramebufferEXT");
    ok &= Load(&api->FramebufferTexture2D, "glFramebufferTexture2D", "glFramebufferTexture2DEXT");
    ok &= Load(&api->FramebufferRenderbuffer, "glFramebufferRenderbuffer", "glFramebufferRenderbufferEXT");
    ok &= Load(&api->CheckFramebufferStatus, "glCheckFramebufferStatus", "glCheckFramebufferStatusEXT");
    ok &= Load(&api->GenRenderbuffers, "glGenRenderbuffers", "glGenRenderbuffersEXT");
    ok &= Load(&api->DeleteRenderbuffers, "glDeleteRenderbuffers", "glDeleteRenderbuffersEXT");
    ok &= Load(&api->BindRenderbuffer, "glBindRenderbuffer", "glBindRenderbufferEXT");
    ok &= Load(&api->RenderbufferStorage, "glRenderbufferStorage", "glRenderbufferStorageEXT");
    ok &= Load(&api->BlitFramebuffer, "glBlitFramebuffer", "glBlitFramebufferEXT");
    if (SDL_GL_ExtensionSupported("GL_ARB_provoking_vertex") || SDL_GL_ExtensionSupported("GL_EXT_provoking_vertex"))
        Load(&api->ProvokingVertex, "glProvokingVertex", "glProvokingVertexEXT");
    return ok;
}

} // namespace plat
