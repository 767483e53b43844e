#pragma once
// The program's one registration entry point for chunk classes: every
// chunk family's Register...ChunkClasses(). Called once at start-up, before
// any chunk file is read; later calls do nothing.

void RegisterAllChunkClasses();
