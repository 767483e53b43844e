#pragma once
// The audio decoder over FFmpeg (libavformat, libavcodec, libswresample):
// any container and codec FFmpeg knows, the format found from the content,
// converted to 16-bit PCM at the rate and channel count asked for.

namespace plat {

// Registers it as the media layer's decoder (CD tracks, music streams).
void RegisterFfmpegDecoder();

} // namespace plat
