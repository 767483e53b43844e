#include "platform/d3d/state_block.h"

#include "platform/d3d/surface.h"

namespace plat {

StateBlock::~StateBlock() {
    for (const Entry& e : entries_)
        if (e.texture) e.texture->Release();
}

StateBlock::Entry& StateBlock::Slot(Kind kind, uint32_t stage, uint32_t type) {
    for (Entry& e : entries_)
        if (e.kind == kind && e.stage == stage && e.type == type) return e;
    return entries_.emplace_back(Entry{kind, stage, type, 0, nullptr});
}

void StateBlock::RecordRenderState(uint32_t state, uint32_t value) { Slot(Kind::Render, 0, state).value = value; }

void StateBlock::RecordTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
    Slot(Kind::TextureStage, stage, type).value = value;
}

void StateBlock::RecordTexture(uint32_t stage, Surface* texture) {
    Entry& e = Slot(Kind::Texture, stage, 0);
    if (texture) texture->AddRef();
    if (e.texture) e.texture->Release();
    e.texture = texture;
}

} // namespace plat
