#include "Tv/server/level_description.h"

#include <string>
#include <string_view>
#include <vector>

#include "Tv/frontend/levelnames.h"
#include "Tv/frontend/missionlist.h"
#include "core/hashtable.h"
#include "core/stringtable.h"

namespace {

constexpr uint32_t kFirstDescriptionText = 3268;
constexpr uint32_t kDescriptionHeadingText = 3298;
constexpr uint32_t kNoDescriptionText = 3299;

bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

std::vector<std::string_view> LinesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsLineBreak(text[i])) ++i;
        const size_t start = i;
        while (i < text.size() && !IsLineBreak(text[i])) ++i;
        if (i > start) lines.push_back(text.substr(start, i - start));
    }
    return lines;
}

const char* DescriptionOf(int32_t index) { return StringTableLookup(kFirstDescriptionText + index); }

} // namespace

int32_t TvGetLevelIndex() {
    const char* level = TvGetLevelScriptName();
    const std::vector<MissionEntry>& missions = TvGetMissionList();
    for (size_t i = 0; i < missions.size(); ++i)
        if (NameEquals(missions[i].levelScript.c_str(), level)) return static_cast<int32_t>(i);
    return -1;
}

int32_t TvGetLevelDescriptionLineCount() {
    const int32_t index = TvGetLevelIndex();
    return index < 0 ? -1 : static_cast<int32_t>(LinesOf(DescriptionOf(index)).size());
}

OwnedText TvGetLevelDescriptionLine(int32_t n) {
    const int32_t index = TvGetLevelIndex();
    if (index < 0 || n < 0) return OwnedText();
    const std::vector<std::string_view> lines = LinesOf(DescriptionOf(index));
    return static_cast<size_t>(n) < lines.size() ? OwnedText(lines[n]) : OwnedText();
}

OwnedText TvGetLevelDescriptionText() {
    const int32_t index = TvGetLevelIndex();
    const std::string heading = StringTableLookup(kDescriptionHeadingText);
    if (index < 0 || heading.empty()) return OwnedText();
    const char* description = DescriptionOf(index);
    const char* body = LinesOf(description).empty() ? StringTableLookup(kNoDescriptionText) : description;
    return OwnedText(heading + "\n" + body);
}
