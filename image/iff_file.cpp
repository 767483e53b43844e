#include "image/iff_file.h"

#include "image/iff_chunk.h"
#include "image/iff_read_context.h"
#include "image/iff_registry.h"
#include "image/media_stream.h"

IffFile::~IffFile() {
    if (top_) top_->Release();
}

bool IffFile::ReadFromStream(MediaStream& stream) {
    if (top_) top_->Release();
    top_ = nullptr;
    IffReadContext context(stream);
    IffId id = context.Id();
    uint32_t size = context.U32();
    if (context.Failed() || (id != kIffForm && id != kIffList && id != kIffCat)) return false;
    IffChunk* top = IffChunkRegistry::Create(kIffAny, id);
    top->ReadBody(context, size);
    if (context.Failed() || !top->AsComposite()) {
        top->Release();
        return false;
    }
    top_ = top;
    return true;
}
