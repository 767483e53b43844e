#pragma once
// Start-up registration of the OpenGL video backend under the name "gl".

namespace plat {

// After this, TAVRIN_VIDEO=gl (or unset) selects the OpenGL backend; when it
// cannot start (no display, a driver without what it needs) the reason goes
// to standard error and the null backend stands in.
void RegisterSdlVideoBackend();

} // namespace plat
