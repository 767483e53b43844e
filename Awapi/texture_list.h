#pragma once
// The distinct textures of an object or shape, in first-added order: the
// draw list groups an object's drawing by them.

#include "core/list.h"

struct AwTexture;

class AwTextureList {
public:
    // No duplicates.
    void Add(AwTexture* texture);
    void Remove(AwTexture* texture);
    // Adds the textures the other list lacks, in its order.
    void Merge(const AwTextureList& other);
    // The same for a shape's texture table.
    void MergeShapeTextures(const List<AwTexture*>& textures);

    int32_t Count() const { return Textures.Count(); }
    bool Contains(AwTexture* texture) const { return Textures.Contains(texture); }

    List<AwTexture*> Textures;
};
