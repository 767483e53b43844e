#pragma once
// Image readers by the first bytes of the file: each reader registers a
// factory under its magic byte strings, and a load walks a 256-way trie of
// them over the stream, choosing the longest magic the file starts with.

#include <string_view>

class ImageReader;
class MediaStream;
struct TextureLoadParams;
namespace plat {
class Surface;
}

using ImageReaderFactory = ImageReader* (*)();

// Registers a factory under a magic; a second registration of the same magic
// replaces the first, an empty magic matches every file.
void ImageReaderRegister(std::string_view magic, ImageReaderFactory factory);

// The factory for the stream's first bytes, or null; the bytes looked at are
// put back, so the stream stays at the image's first byte.
ImageReaderFactory ImageReaderLookup(MediaStream& stream);

// Reads the image at the stream's position with the reader its magic names
// (error 7 without one) and builds the texture(s) the parameters ask for.
plat::Surface* ImageReaderDispatch(MediaStream& stream, const TextureLoadParams& params);

// Registers every reader of the program and the IFF chunk classes they use;
// called once at start-up (further calls do nothing).
void RegisterImageReaders();
