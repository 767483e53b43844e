#pragma once
// Start-up wiring of the server core into the layers that call it through
// hooks: the actor classes' makers, the server pass's hooks (cutscene freeze,
// capture the flag, default item), the game settings the team table reads,
// the team table's captions and the difficulty the definition grammar reads.

void RegisterServerCore();
