#pragma once
// The texture manager: every engine texture by name, loaded in one pass
// through the texture loader, purged under memory pressure, released before
// the device goes and reloaded after it returns. Main thread only.

#include <cstdint>

#include "Awapi/aw3d/texture.h"
#include "core/hashtable.h"

// Loader flag asking for mip-mapped textures.
constexpr uint32_t kTextureManagerMipmaps = 0x400;

using AwProgressCallback = void (*)(int32_t index);
// For callers without a progress display.
void AwNoProgress(int32_t index);

class AwTextureManager {
public:
    AwTextureManager();
    ~AwTextureManager();
    AwTextureManager(const AwTextureManager&) = delete;
    AwTextureManager& operator=(const AwTextureManager&) = delete;

    uint32_t Flags = 0;    // loader flags added to every load
    float Progress = 0.0f; // of the running LoadPending

    // The record of a name (compared without regard to case) with one more
    // reference, or a new unloaded record with `flags`. Never null.
    AwTexture* Get(const char* name, uint32_t flags);
    // One more reference on a record found by its name; a record the manager
    // does not hold gets RefCount 0.
    void AddRef(AwTexture* texture);
    // Loads every referenced record that has no surface yet.
    void LoadPending(AwProgressCallback progress);
    // Releases the surface of the least recently requested unreferenced record
    // that has one, deleting unkept unreferenced records on the way. False
    // once no surface was released.
    bool PurgeOneUnused();
    // Deletes every unreferenced, unkept record without a surface.
    void RemoveUnused();
    // Reloads the surfaces of referenced records that were lost or released.
    void RestoreLost();
    // Releases every surface (the device is going); the records stay.
    void ReleaseAll();
    void UpdateMipmapOption();
    // Counts the surface in AwDeviceCaps.TextureMemoryUsed while it lies in
    // local video memory, then updates the texture reduction.
    void AccountVideoMemory(AwTexture* texture);

    int32_t Count() const { return names_.Count(); }
    // The record of a name, without a reference; null when there is none.
    AwTexture* Find(const char* name) const;
    // Least recently requested last; for walking in order.
    ListSentinel<AwTexture>& Recent() { return recent_; }

private:
    bool LoadInto(AwTexture* texture, const char* letters);
    void ReleaseSurface(AwTexture* texture);
    void Delete(AwTexture* texture);

    HashTable<AwTexture*> names_{64};
    ListSentinel<AwTexture> recent_;
};

extern AwTextureManager TextureManager;

// The record " NullTexture": an 8 x 8 white surface made by the device layer.
extern AwTexture* NullTexture;
