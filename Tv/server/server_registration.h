#pragma once
// Start-up wiring of the server core into the layers that call it through
// hooks: the plain actor's maker, the game settings the team table reads, the
// team table's captions and the difficulty the definition grammar reads.

void RegisterServerCore();
