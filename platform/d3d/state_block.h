#pragma once
// A recorded state block: render states, texture-stage states and stage
// textures, each once in the order first recorded, with its last value.

#include <cstdint>
#include <vector>

namespace plat {

class Surface;

class StateBlock {
public:
    enum class Kind { Render, TextureStage, Texture };
    struct Entry {
        Kind kind;
        uint32_t stage; // texture-stage states and textures
        uint32_t type;  // the state (render or texture-stage)
        uint32_t value;
        Surface* texture; // Kind::Texture: the block holds a reference
    };

    StateBlock() = default;
    ~StateBlock();
    StateBlock(const StateBlock&) = delete;
    StateBlock& operator=(const StateBlock&) = delete;

    void RecordRenderState(uint32_t state, uint32_t value);
    void RecordTextureStageState(uint32_t stage, uint32_t type, uint32_t value);
    void RecordTexture(uint32_t stage, Surface* texture);

    const std::vector<Entry>& Entries() const { return entries_; }

private:
    Entry& Slot(Kind kind, uint32_t stage, uint32_t type);

    std::vector<Entry> entries_;
};

} // namespace plat
