#include "tools/tvbank/bank_items.h"

#include <cctype>
#include <charconv>
#include <map>

#include "core/bytes.h"
#include "platform/files.h"
#include "sound/bank_records.h"
#include "sound/sound_names.h"
#include "sound/wave_image.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

template <class T>
bool Number(const std::string& text, T& out) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && !text.empty();
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<uint8_t> Bytes(const ByteWriter& w) { return w.bytes(); }

// The key an entry is known by: its padded name in lower case.
std::string EntryKey(const std::string& name) {
    std::string key = PaddedSoundName(name);
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}


bool WaveEntry(const std::string& item, int32_t position, SoundBankItem& out, std::string& error) {
    const std::vector<std::string> parts = Split(item, ':');
    WaveFile wave;
    wave.sampleNumber = -position;
    for (size_t i = 1; i < parts.size(); ++i) {
        const size_t eq = parts[i].find('=');
        const std::string key = parts[i].substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : parts[i].substr(eq + 1);
        bool ok = false;
        if (key == "slot") ok = Number(value, wave.sampleNumber) && wave.sampleNumber > 0;
        else if (key == "volume") ok = Number(value, wave.volume) && wave.volume >= 0 && wave.volume <= 100;
        else if (key == "range") ok = Number(value, wave.range);
        else if (key == "second") ok = Number(value, wave.secondRange);
        if (!ok) {
            error = "bad option '" + parts[i] + "' of " + parts[0];
            return false;
        }
    }
    if (!plat::ReadWholeFile(parts[0], wave.image)) {
        error = "cannot read " + parts[0];
        return false;
    }
    WaveImage image;
    if (!ParseWaveImage(wave.image, image)) {
        error = parts[0] + ": not a PCM wave of 8 or 16 bits with its data right after its format";
        return false;
    }
    ByteWriter record;
    WriteWaveRecord(record, wave);
    out = {BaseName(parts[0]), false, Bytes(record)};
    return true;
}

bool CueEntry(const std::string& item, const std::map<std::string, int32_t>& positions, SoundBankItem& out,
              std::string& error) {
    const std::vector<std::string> parts = Split(item, ':');
    if (parts.size() != 4 || parts[1].empty() || (parts[2] != "random" && parts[2] != "sequence")) {
        error = "a cue is cue:NAME:random|sequence:MEMBER*N,... (got '" + item + "')";
        return false;
    }
    CueRecord cue;
    cue.flags = parts[2] == "random" ? kCueRandom : 0;
    for (const std::string& member : Split(parts[3], ',')) {
        const size_t star = member.rfind('*');
        CueMember m;
        const std::string who = member.substr(0, star);
        const std::string count = star == std::string::npos ? "" : member.substr(star + 1);
        bool ok = star != std::string::npos && (count == "loop" ? (m.weight = -1, true) : Number(count, m.weight));
        if (ok && who.size() > 1 && who[0] == '#') {
            ok = Number(who.substr(1), m.sample) && m.sample > 0;
        } else if (ok) {
            const auto found = positions.find(EntryKey(who));
            ok = found != positions.end();
            if (ok) m.sample = -found->second;
        }
        if (!ok) {
            error = "bad member '" + member + "' of cue " + parts[1] + " (an entry of this bank or #N, then *N or *loop)";
            return false;
        }
        cue.members.push_back(m);
    }
    ByteWriter record;
    WriteCueRecord(record, cue);
    out = {parts[1], true, Bytes(record)};
    return true;
}

bool IsCue(const std::string& item) { return item.rfind("cue:", 0) == 0; }

std::string EntryName(const std::string& item) { return IsCue(item) ? Split(item, ':')[1] : BaseName(Split(item, ':')[0]); }

} // namespace

bool BuildBankItems(const std::vector<std::string>& items, std::vector<SoundBankItem>& out, std::string& error) {
    // Members name entries without regard to case, as the game finds them.
    std::map<std::string, int32_t> positions;
    for (size_t i = 0; i < items.size(); ++i) {
        if (!positions.emplace(EntryKey(EntryName(items[i])), static_cast<int32_t>(i)).second) {
            error = "two entries named " + EntryName(items[i]);
            return false;
        }
    }
    out.clear();
    for (size_t i = 0; i < items.size(); ++i) {
        SoundBankItem entry;
        const bool ok = IsCue(items[i]) ? CueEntry(items[i], positions, entry, error)
                                        : WaveEntry(items[i], static_cast<int32_t>(i), entry, error);
        if (!ok) return false;
        out.push_back(std::move(entry));
    }
    return true;
}
