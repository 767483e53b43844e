#pragma once
// The items of "tvbank build": wave files with their playback defaults and
// cues over the bank's entries, turned into bank entries.
//
//   FILE.wav[:slot=N][:volume=V][:range=R][:second=S]
//   cue:NAME:random|sequence:MEMBER*N,...   (MEMBER an entry name or #N, N a count or "loop")

#include <string>
#include <vector>

#include "sound/sound_bank.h"

// The entries of the items in order; false with a message on the first bad item.
bool BuildBankItems(const std::vector<std::string>& items, std::vector<SoundBankItem>& out, std::string& error);
