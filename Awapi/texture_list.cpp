#include "Awapi/texture_list.h"

void AwTextureList::Add(AwTexture* texture) {
    if (!Textures.Contains(texture)) Textures.PushBack(texture);
}

void AwTextureList::Remove(AwTexture* texture) { Textures.RemoveValue(texture); }

void AwTextureList::Merge(const AwTextureList& other) { MergeShapeTextures(other.Textures); }

void AwTextureList::MergeShapeTextures(const List<AwTexture*>& textures) {
    for (AwTexture* texture : textures) Add(texture);
}
