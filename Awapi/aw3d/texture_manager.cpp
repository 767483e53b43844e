#include "Awapi/aw3d/texture_manager.h"

#include "Awapi/aw3d/aw_hooks.h"
#include "Awapi/aw3d/device_state.h"
#include "Awapi/aw3d/surfaces.h"
#include "Awapi/aw3d/user_settings.h"
#include "image/image_source.h"
#include "image/texture_load.h"
#include "platform/d3d/directdraw.h"
#include "platform/d3d/surface.h"
#include "platform/paths.h"

using namespace plat;

AwTextureManager TextureManager;
AwTexture* NullTexture = nullptr;

void AwNoProgress(int32_t) {}

namespace {

bool PurgeCallback(void* manager) { return static_cast<AwTextureManager*>(manager)->PurgeOneUnused(); }

uint32_t CountedUnits(const AwTexture* texture) { return texture->ImageWidth * texture->ImageHeight / 4096; }

// Reloads resolve the name against the directory recorded at the first load,
// without touching the current directory.
std::string PathOf(const AwTexture* texture) {
    if (texture->Directory.empty() || texture->Name.empty() || texture->Name[0] == '/') return texture->Name;
    return texture->Directory + "/" + texture->Name;
}

uint32_t LevelsToSkip() {
    return static_cast<uint32_t>(UserSettings.TextureReduction > UserSettings.TextureDetail
                                     ? UserSettings.TextureReduction
                                     : UserSettings.TextureDetail);
}

} // namespace

AwTextureManager::AwTextureManager() { recent_.Init(nullptr); }

AwTextureManager::~AwTextureManager() {
    while (PurgeOneUnused()) {
    }
    RemoveUnused();
    // Records still referenced at exit go with the manager.
    while (recent_.Next != &recent_) {
        AwTexture* texture = recent_.Next->OwnerObject;
        ReleaseSurface(texture);
        Delete(texture);
    }
}

AwTexture* AwTextureManager::Find(const char* name) const {
    auto* entry = names_.Find(NameHash(name), [name](AwTexture* t) { return NameEquals(t->Name.c_str(), name); });
    return entry ? entry->Payload : nullptr;
}

AwTexture* AwTextureManager::Get(const char* name, uint32_t flags) {
    if (AwTexture* texture = Find(name)) {
        ++texture->RefCount;
        texture->Recent.MoveAfter(&recent_);
        return texture;
    }
    AwTexture* texture = new AwTexture;
    texture->Flags = flags;
    texture->Name = name;
    list_links::LinkAfter<ListLink<AwTexture>>(&texture->Recent, &recent_);
    names_.Insert(texture, NameHash(name));
    return texture;
}

void AwTextureManager::AddRef(AwTexture* texture) {
    if (Find(texture->Name.c_str()) != texture) {
        texture->RefCount = 0;
        return;
    }
    texture->Recent.MoveAfter(&recent_);
    ++texture->RefCount;
}

bool AwTextureManager::LoadInto(AwTexture* texture, const char* letters) {
    const uint32_t freeBefore = AwVideoMemory.TextureFree;
    const std::string path = PathOf(texture);
    Surface* given = texture->Surface;
    Surface* surface = given
        ? TextureLoad(letters, given, path.c_str(), Flags | 5u, &texture->ImageWidth, &texture->ImageHeight,
                      &PurgeCallback, static_cast<void*>(this), &texture->AlphaBits, LevelsToSkip())
        : TextureLoad(letters, path.c_str(), Flags | 5u, &texture->Width, &texture->Height, &texture->ImageWidth,
                      &texture->ImageHeight, &PurgeCallback, static_cast<void*>(this), &texture->AlphaBits,
                      LevelsToSkip());
    if (!surface) return false;
    if (given) surface->Release(); // the loader's extra reference on the given surface
    else texture->Surface = surface;
    AwQueryVideoMemory();
    texture->TextureMemory = static_cast<int32_t>(freeBefore - AwVideoMemory.TextureFree);
    AccountVideoMemory(texture);
    return true;
}

void AwTextureManager::LoadPending(AwProgressCallback progress) {
    RestoreLost();
    const std::string current = GetCurrentDir();
    const int32_t n = names_.Count();
    int32_t k = 0;
    for (ListLink<AwTexture>* link = recent_.Next; link != &recent_; link = link->Next, ++k) {
        AwTexture* texture = link->OwnerObject;
        Progress = static_cast<float>(k) / static_cast<float>(n);
        if (progress) progress(k);
        if (texture->RefCount <= 0 || texture->Surface || texture->Name.empty() || texture->Name[0] == ' ') continue;
        AwQueryVideoMemory();
        if (texture->Directory.empty()) texture->Directory = current;
        LoadInto(texture, "sfWHOXOYcAm");
    }
}

void AwTextureManager::AccountVideoMemory(AwTexture* texture) {
    if (!texture->Surface) return;
    SurfaceDesc desc;
    const HResult result = texture->Surface->GetSurfaceDesc(&desc);
    if (Failed(result)) {
        AwReportError(result);
        return;
    }
    const bool local = desc.caps.caps & kDdsCapsLocalVidMem;
    if (local != texture->InVideoMemory) {
        if (local) AwDeviceCaps.TextureMemoryUsed += CountedUnits(texture);
        else AwDeviceCaps.TextureMemoryUsed -= CountedUnits(texture);
        texture->InVideoMemory = local;
    }
    AwUpdateTextureReduction();
}

void AwTextureManager::ReleaseSurface(AwTexture* texture) {
    if (texture->Surface) {
        if (texture->InVideoMemory) AwDeviceCaps.TextureMemoryUsed -= CountedUnits(texture);
        texture->InVideoMemory = false;
        texture->Surface->Release();
    }
    texture->Surface = nullptr;
    texture->Width = texture->Height = 0;
    texture->TextureMemory = 0;
}

void AwTextureManager::Delete(AwTexture* texture) {
    if (texture->Source) ImageSourceRelease(texture->Source);
    names_.Remove(texture, NameHash(texture->Name.c_str()));
    texture->Recent.Unlink();
    if (NullTexture == texture) NullTexture = nullptr;
    delete texture;
}

bool AwTextureManager::PurgeOneUnused() {
    for (ListLink<AwTexture>* link = recent_.Prev; link != &recent_;) {
        AwTexture* texture = link->OwnerObject;
        link = link->Prev;
        if (texture->RefCount != 0) continue;
        const bool released = texture->Surface != nullptr;
        ReleaseSurface(texture);
        if (texture->Source) ImageSourceRelease(texture->Source);
        texture->Source = nullptr;
        if (texture->KeepCount == 0) Delete(texture);
        if (released) return true;
    }
    return false;
}

void AwTextureManager::RemoveUnused() {
    for (ListLink<AwTexture>* link = recent_.Next; link != &recent_;) {
        AwTexture* texture = link->OwnerObject;
        link = link->Next;
        if (texture->RefCount == 0 && texture->KeepCount == 0 && !texture->Surface) Delete(texture);
    }
}

void AwTextureManager::ReleaseAll() {
    for (ListLink<AwTexture>* link = recent_.Next; link != &recent_; link = link->Next)
        if (link->OwnerObject->Surface) ReleaseSurface(link->OwnerObject);
}

void AwTextureManager::RestoreLost() {
    AwQueryVideoMemory();
    for (ListLink<AwTexture>* link = recent_.Next; link != &recent_; link = link->Next) {
        AwTexture* texture = link->OwnerObject;
        if (texture->RefCount <= 0) continue;
        if (texture->Surface) {
            if (texture->Surface->IsLost() != kDdErrSurfaceLost) continue;
            if (Succeeded(texture->Surface->Restore())) {
                if (!LoadInto(texture, "tsfOXOYcAm")) ReleaseSurface(texture);
                continue;
            }
            ReleaseSurface(texture);
        }
        if (!texture->Directory.empty()) LoadInto(texture, "sfWHOXOYcAm");
    }
    if (AwDevice.DirectDraw) AwDevice.DirectDraw->RestoreAllSurfaces();
}

void AwTextureManager::UpdateMipmapOption() {
    if ((AwDeviceCaps.Flags & kCapsOneTextureMemory) && UserSettings.MipmappedTextures) Flags |= kTextureManagerMipmaps;
    else Flags &= ~kTextureManagerMipmaps;
}
