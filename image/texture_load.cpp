#include "image/texture_load.h"

#include <cerrno>

#include "image/file_stream.h"
#include "image/image_source.h"
#include "image/memory_stream.h"
#include "image/reader_registry.h"
#include "image/texture_error.h"
#include "image/window_stream.h"
#include "platform/files.h"

namespace {

// Reads the image from the parameters' file, memory block or kept image. The
// streams never free the block or close the file: those stay the caller's.
plat::Surface* OpenAndRead(const TextureLoadParams& params) {
    if (params.source) return params.source->BuildTexture(params);
    MediaStream* stream = params.memory ? static_cast<MediaStream*>(new MemoryStream(params.memory, params.byteLimit))
                                        : new Win32FileStream(params.file);
    WindowStream* window = nullptr;
    if (params.byteLimit != 0xFFFFFFFF || params.bytesUsed) {
        window = new WindowStream;
        window->Attach(stream, params.byteLimit);
    }
    plat::Surface* result = ImageReaderDispatch(window ? *window : *stream, params);
    if (window) {
        window->Detach();
        if (params.bytesUsed) *params.bytesUsed = window->BytesUsed();
        window->Release();
    }
    stream->Release();
    return result;
}

} // namespace

plat::Surface* TextureLoadArgs(const char* letters, const TextureLoadArg* args, size_t count) {
    TextureLoadError = kTextureOk;
    TextureLoadParams params;
    if (!params.Parse(letters, args, count)) {
        TextureFail(kTextureBadParameters);
        return nullptr;
    }
    if (!params.fileName) return OpenAndRead(params);
    plat::File file = plat::File::Open(params.fileName, plat::kAccessRead, plat::FileDisposition::OpenExisting);
    if (!file.IsOpen()) {
        TextureLoadOsError = errno;
        TextureFail(kTextureOpenFailed);
        return nullptr;
    }
    params.file = &file;
    return OpenAndRead(params);
}
