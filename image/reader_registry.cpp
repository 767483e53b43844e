#include "image/reader_registry.h"

#include <array>
#include <memory>

#include "image/bmp_reader.h"
#include "image/iff_registry.h"
#include "image/ilbm_chunks.h"
#include "image/ilbm_reader.h"
#include "image/image_reader.h"
#include "image/media_stream.h"
#include "image/pnm_reader.h"
#include "image/texture_error.h"

namespace {

struct MagicNode {
    std::array<std::unique_ptr<MagicNode>, 256> next;
    ImageReaderFactory factory = nullptr;
};

MagicNode& Root() {
    static MagicNode root;
    return root;
}

} // namespace

void ImageReaderRegister(std::string_view magic, ImageReaderFactory factory) {
    MagicNode* node = &Root();
    for (char c : magic) {
        auto& child = node->next[static_cast<uint8_t>(c)];
        if (!child) child = std::make_unique<MagicNode>();
        node = child.get();
    }
    node->factory = factory;
}

ImageReaderFactory ImageReaderLookup(MediaStream& stream) {
    ImageReaderFactory choice = nullptr;
    uint32_t taken = 0;
    for (const MagicNode* node = &Root(); node;) {
        if (node->factory) choice = node->factory;
        int byte = stream.TakeByte();
        if (byte < 0) break;
        ++taken;
        node = node->next[static_cast<uint8_t>(byte)].get();
    }
    stream.PutBack(taken);
    return choice;
}

plat::Surface* ImageReaderDispatch(MediaStream& stream, const TextureLoadParams& params) {
    ImageReaderFactory factory = ImageReaderLookup(stream);
    ImageReader* reader = factory ? factory() : nullptr;
    if (!reader) {
        TextureFail(kTextureUnsupported);
        return nullptr;
    }
    plat::Surface* result = reader->LoadTexture(stream, params);
    reader->Release();
    return result;
}

void RegisterImageReaders() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterIffGroupClasses();
    RegisterIlbmChunkClasses();
    ImageReaderRegister("BM", BmpReaderCreate);
    ImageReaderRegister("FORM", IlbmReaderCreate);
    ImageReaderRegister("LIST", IlbmReaderCreate);
    ImageReaderRegister("CAT ", IlbmReaderCreate);
    ImageReaderRegister("P6", PnmP6ReaderCreate);
    ImageReaderRegister("P5", PnmP5ReaderCreate);
    ImageReaderRegister("P4", PnmP4ReaderCreate);
}
