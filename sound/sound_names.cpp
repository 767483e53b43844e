#include "sound/sound_names.h"

#include "core/hashtable.h"

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

} // namespace

std::string PaddedSoundName(std::string_view name) {
    const std::string_view text = SoundNameText(name);
    std::string padded(text);
    padded.resize((text.size() / 4 + 1) * 4, '\0');
    return padded;
}

uint32_t SoundNameKey(std::string_view padded) {
    uint32_t sum = 0;
    for (const char c : SoundNameText(padded))
        sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(Upper(c))));
    return sum;
}

bool SoundNamesMatch(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (NameLower(a[i]) != NameLower(b[i])) return false;
    return true;
}

std::string_view SoundNameText(std::string_view padded) { return padded.substr(0, padded.find('\0')); }
