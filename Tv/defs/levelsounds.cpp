#include "Tv/defs/levelsounds.h"

#include <charconv>
#include <cstring>

#include "Awapi/model/dummy_object.h"
#include "Awapi/shape_instance.h"
#include "Tv/defs/datadirectory.h"
#include "Tv/defs/scanner.h"
#include "sound/sound_system.h"

namespace {

// The next line of `text` from `pos`; a carriage return and a line feed after it end one line.
std::string_view NextLine(std::string_view text, size_t& pos) {
    const size_t start = std::min(pos, text.size());
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
    return text.substr(start, end - start);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t DigitsFrom(std::string_view s, size_t i) {
    while (i < s.size() && IsDigit(s[i])) ++i;
    return i;
}

// The length of the number at the start of `s` (0 when none): digits only, or
// with `signedReal` an optional '-', digits, an optional '.' and digits.
size_t NumberLength(std::string_view s, bool signedReal) {
    size_t i = signedReal && !s.empty() && s[0] == '-' ? 1 : 0;
    const size_t digits = DigitsFrom(s, i);
    if (digits == i) return 0;
    if (signedReal && digits < s.size() && s[digits] == '.') return DigitsFrom(s, digits + 1);
    return digits;
}

void ParseParameters(std::string_view line, LevelSoundParameters& out) {
    for (size_t i = 0; i < line.size(); ++i) {
        const char letter = line[i];
        if (!std::strchr("IPRV", letter)) continue;
        const std::string_view rest = line.substr(i + 1);
        const size_t length = NumberLength(rest, letter != 'V');
        if (length == 0) continue;
        const char* first = rest.data();
        if (letter == 'V') {
            int32_t volume = 0;
            if (std::from_chars(first, first + length, volume).ec == std::errc()) out.volume = volume;
        } else {
            const auto value = static_cast<Real>(ScriptRealValue(first, first + length));
            if (letter == 'I') out.range = value;
            if (letter == 'P') out.frequency = value / 12.0f;
            if (letter == 'R') out.secondRange = value;
        }
        i += length;
    }
}

} // namespace

bool ParseSoundDummy(std::string_view text, std::string& name, LevelSoundParameters& out) {
    size_t pos = 0;
    if (!AwNamesMatch(std::string(NextLine(text, pos)), "Sound")) return false;
    name = NextLine(text, pos);
    out = LevelSoundParameters();
    ParseParameters(NextLine(text, pos), out);
    return true;
}

void PlaceLevelSounds(std::vector<AwDummyObject>& dummies) {
    SoundSystem* sound = SoundSystemInstance;
    if (!sound) return;
    std::erase_if(dummies, [sound](const AwDummyObject& dummy) {
        std::string name;
        LevelSoundParameters p;
        if (!dummy.Text || !ParseSoundDummy(*dummy.Text, name, p)) return false;
        DataDirEnter(kDataDirSounds);
        const int32_t sample = sound->LoadSound(name.c_str());
        DataDirRestore();
        if (sample <= 0) return false;
        sound->AddPersistentSound(sample, dummy.Position, p.volume, p.frequency, p.range, p.secondRange);
        return true;
    });
}
