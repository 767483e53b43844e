// The keyword table against the rules the scanner relies on.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "Tv/defs/definitiontypes.h"
#include "Tv/defs/keywords.h"

namespace {

std::string WithoutBlanks(const char* text) {
    std::string s;
    for (; *text; ++text)
        if (*text != ' ') s += *text;
    return s;
}

// Longest match needs every text to belong to one keyword only; since blanks
// between words are optional, "ab c" and "a bc" would be the same text.
TEST(DefsKeywords, NoTwoKeywordsMatchTheSameText) {
    std::map<std::string, std::string> seen;
    for (const ScriptKeyword& k : ScriptKeywords()) {
        const std::string key = k.exactBlanks ? std::string(k.text) : WithoutBlanks(k.text);
        auto [it, inserted] = seen.emplace(key, k.text);
        EXPECT_TRUE(inserted) << '"' << k.text << "\" and \"" << it->second << "\" read the same";
    }
}

TEST(DefsKeywords, EveryPropertyNumberButOneHasAKeywordOfItsForm) {
    std::set<int> withKeyword;
    for (const ScriptKeyword& k : ScriptKeywords()) {
        if (k.property < 0) continue;
        withKeyword.insert(k.property);
        const PropertyForm form = ScriptPropertyForm(k.property);
        EXPECT_NE(form, PropertyForm::None) << k.text;
        EXPECT_EQ(k.token == ScriptToken::Use, form == PropertyForm::Use) << k.text;
        EXPECT_EQ(k.token == ScriptToken::Life, form == PropertyForm::Life) << k.text;
    }
    for (int n = 0; n < kScriptPropertyCount; ++n)
        EXPECT_EQ(withKeyword.count(n) == 0, n == 120) << "property " << n;
}

TEST(DefsKeywords, FamiliesHaveTheirSizes) {
    int constants = 0, types = 0, typesAlsoProperties = 0;
    for (const ScriptKeyword& k : ScriptKeywords()) {
        constants += k.token == ScriptToken::Integer;
        types += k.type >= 0;
        typesAlsoProperties += k.type >= 0 && k.property >= 0;
    }
    EXPECT_EQ(constants, 274);
    EXPECT_EQ(types, kScriptTypeCount);
    EXPECT_EQ(typesAlsoProperties, 6);
}

// Each type keyword names its own factory, and every slot a type declares
// has the type the keyword of its number writes, so the grammar's values fit.
TEST(DefsKeywords, DeclaredSlotsMatchTheirKeywordsForm) {
    for (const ScriptKeyword& k : ScriptKeywords()) {
        if (k.type < 0) continue;
        const auto type = static_cast<ScriptTypeId>(k.type);
        EXPECT_STREQ(ScriptTypeKeyword(type), k.text);
        ScriptObject* object = ScriptTypeFactory(type)();
        EXPECT_EQ(ScriptTypeOf(*object), type);
        for (int n = 0; n < kScriptPropertyCount; ++n) {
            const PropertyType slot = object->SlotType(n);
            if (slot == kPropertyNone) continue;
            PropertyType expected = kPropertyNone;
            switch (ScriptPropertyForm(n)) {
            case PropertyForm::String:
            case PropertyForm::StringOrInteger: expected = kPropertyString; break;
            case PropertyForm::Integer: expected = kPropertyInt; break;
            case PropertyForm::Real: expected = kPropertyReal; break;
            case PropertyForm::Truth: expected = kPropertyBool; break;
            case PropertyForm::Reference: expected = kPropertyReference; break;
            default: break;
            }
            if (n == 120) expected = kPropertyInt; // declared, never written
            EXPECT_EQ(slot, expected) << k.text << " property " << n << " (" << object->SlotName(n) << ")";
        }
        object->Release();
    }
}

} // namespace
