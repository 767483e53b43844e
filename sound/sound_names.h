#pragma once
// Names as the sound tables keep them: the text, its terminating zero and
// zero padding up to a multiple of 4 bytes. Two names match when their padded
// lengths are equal and their texts are equal without regard to case; the
// tables hash a name by the sum of its upper-cased characters.

#include <cstdint>
#include <string>
#include <string_view>

// The padded form of a name: length the next multiple of 4 above its length.
std::string PaddedSoundName(std::string_view name);

// The sum of the upper-cased characters (signed bytes) up to the first zero.
uint32_t SoundNameKey(std::string_view padded);

bool SoundNamesMatch(std::string_view a, std::string_view b);

// The text of a padded name (up to its first zero).
std::string_view SoundNameText(std::string_view padded);
