#pragma once
// The OpenGL entry points the video backend uses beyond OpenGL 1.1, loaded
// once from the driver. OpenGL 1.1 functions are called directly.

#include <SDL_opengl.h>

namespace plat {

struct GlApi {
    PFNGLACTIVETEXTUREPROC ActiveTexture = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC ClientActiveTexture = nullptr;
    PFNGLLOADTRANSPOSEMATRIXFARBPROC LoadTransposeMatrixf = nullptr;
    PFNGLSECONDARYCOLORPOINTERPROC SecondaryColorPointer = nullptr;
    PFNGLFOGCOORDPOINTERPROC FogCoordPointer = nullptr;
    PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC FramebufferTexture2D = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
    PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;
    PFNGLBLITFRAMEBUFFERPROC BlitFramebuffer = nullptr;
    PFNGLPROVOKINGVERTEXPROC ProvokingVertex = nullptr; // optional: flat shading takes the first vertex
};

// Loads the entry points through the current context; false when one that
// is required is missing. Needs a current context.
bool LoadGlApi(GlApi* api);

} // namespace plat
