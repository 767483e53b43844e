#pragma once
// The IFF chunk classes by (form type, identifier). Registration is explicit
// at start-up; a later registration of the same pair shadows the earlier one.

#include "image/iff_id.h"

class IffChunk;

using IffChunkFactory = IffChunk* (*)();

// The factory of a chunk class with a default constructor.
template <class T> IffChunk* IffChunkMake() { return new T; }

namespace IffChunkRegistry {
// Adds a class for chunks `id` (0: any) inside groups of form type `formType`
// (0: any); returns the number of entries.
int Register(IffChunkFactory factory, IffId formType, IffId id);
// A new chunk of the registered class, or a raw chunk with that identifier.
IffChunk* Create(IffId formType, IffId id);
} // namespace IffChunkRegistry

// The four group classes FORM, LIST, CAT and PROP.
void RegisterIffGroupClasses();
