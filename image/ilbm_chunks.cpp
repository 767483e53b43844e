#include "image/ilbm_chunks.h"

#include "image/iff_read_context.h"
#include "image/iff_registry.h"

void IlbmBitmapHeader::Read(IffReadContext& c) {
    width = c.U16();
    height = c.U16();
    x = c.I16();
    y = c.I16();
    planes = c.U8();
    masking = c.U8();
    compression = c.U8();
    pad = c.U8();
    transparentColour = c.U16();
    xAspect = c.U8();
    yAspect = c.U8();
    pageWidth = c.I16();
    pageHeight = c.I16();
}

void IlbmColourMap::Read(IffReadContext& c) {
    colours.resize(c.Remaining() / 3 * 3);
    if (!c.Bytes(colours.data(), static_cast<uint32_t>(colours.size()))) colours.clear();
}

void IlbmBody::Read(IffReadContext& c) { bytes = c.Rest(); }

void IlbmAlpha::Read(IffReadContext& c) {
    width = c.U16();
    height = c.U16();
    planes = c.U8();
    compression = c.U8();
    bytes = c.Rest();
}

void IlbmTransparency::Read(IffReadContext& c) {
    flag = c.U8();
    value1 = c.U16();
    value2 = c.U16();
    c.Bytes(colour, 3);
}

void IlbmS3tc::Read(IffReadContext& c) {
    value1 = c.U32();
    fourCc = c.U32();
    value2 = c.U16();
    value3 = c.U16();
    value4 = c.U16();
    width = c.U16();
    height = c.U16();
    uint32_t size = c.U32();
    data.resize(size <= c.Remaining() ? size : 0);
    if (size > c.Remaining() || !c.Bytes(data.data(), size)) c.Fail();
}

void IlbmGrab::Read(IffReadContext& c) {
    x = c.U16();
    y = c.U16();
}

void MipmContents::Read(IffReadContext& c) {
    value1 = c.U8();
    value2 = c.U8();
}

void MipmFlag::Read(IffReadContext& c) { value = c.U32(); }

void RegisterIlbmChunkClasses() {
    IffChunkRegistry::Register(IffChunkMake<IlbmBitmapHeader>, kIffIlbm, kIffBmhd);
    IffChunkRegistry::Register(IffChunkMake<IlbmColourMap>, kIffIlbm, kIffCmap);
    IffChunkRegistry::Register(IffChunkMake<IlbmBody>, kIffIlbm, kIffBody);
    IffChunkRegistry::Register(IffChunkMake<IlbmAlpha>, kIffIlbm, kIffAlph);
    IffChunkRegistry::Register(IffChunkMake<IlbmTransparency>, kIffIlbm, kIffTran);
    IffChunkRegistry::Register(IffChunkMake<IlbmS3tc>, kIffIlbm, kIffS3tc);
    IffChunkRegistry::Register(IffChunkMake<IlbmGrab>, kIffIlbm, kIffGrab);
    IffChunkRegistry::Register(IffChunkMake<MipmContents>, kIffMipm, kIffCont);
    IffChunkRegistry::Register(IffChunkMake<MipmFlag>, kIffMipm, kIffFlag);
}
