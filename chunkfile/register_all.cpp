#include "chunkfile/register_all.h"

#include "chunkfile/bitmapname_list.h"
#include "chunkfile/cutscene_chunks.h"
#include "chunkfile/environment_chunks.h"
#include "chunkfile/filelevelchunks.h"
#include "chunkfile/hierarchy_chunks.h"
#include "chunkfile/light_chunks.h"
#include "chunkfile/object_chunk.h"
#include "chunkfile/sequence_chunks.h"
#include "chunkfile/shape_chunk.h"
#include "chunkfile/shapeanim_chunks.h"
#include "chunkfile/shapeext_chunks.h"
#include "chunkfile/sound_chunks.h"

void RegisterAllChunkClasses() {
    RegisterCoreChunkClasses();
    RegisterShapeChunkClasses();
    RegisterEnvironmentChunkClasses();
    RegisterLightChunkClasses();
    RegisterObjectChunkClasses();
    RegisterShapeExtensionChunkClasses();
    RegisterShapeAnimationChunkClasses();
    RegisterSoundChunkClasses();
    RegisterHierarchyChunkClasses();
    RegisterSequenceChunkClasses();
    RegisterBitmapNameChunkClasses();
    RegisterCutsceneChunkClasses();
}
