#pragma once
// The vocabulary of the definition language: token kinds, the keyword table
// (structural words, type keywords, property keywords with their property
// numbers, named constants with their values) and the value form each
// property number takes. The scanner, the grammar and the tests all read it
// from here.

#include <cstdint>
#include <span>

// Token kinds of both compiler passes.
enum class ScriptToken : uint8_t {
    End = 0,    // no input left
    PpStart,    // first token of the preprocess pass
    ParseStart, // first token of the parse pass
    // Preprocess pass.
    PpHash, // '#' starting a line, not followed by a known directive word
    PpDefine,
    PpInclude,
    PpIfdef,
    PpIfndef,
    PpElse,
    PpEndif,
    PpEnd,   // the newline ending a directive line
    PpText,  // a run of other characters
    PpQuote, // a double quote that does not start a string
    // Both passes.
    Identifier,
    String,
    // Parse pass.
    Integer,
    Real,
    Boolean,
    Difficulty,
    None,
    Open,
    Close,
    Inherits,
    Abstract,
    Declare,
    Define,
    Use,
    InTeam,
    For,
    As,
    And,
    Life,
    Seconds,
    Minutes,
    Particles,
    Infinite,
    Keyword, // a type keyword, a property keyword, or both (ScriptKeyword says which)
};

// The fifteen definition types, by their keywords.
enum class ScriptTypeId : int8_t {
    Directory,
    Hierarchy,
    Shape,
    Role,
    Map,
    Light,
    Ammo,
    AmmoInfo,
    CameraTrack,
    Character,
    Projectile,
    PGenerator,
    Destructibility,
    FragData,
    FragScript,
};
constexpr int kScriptTypeCount = 15;

// Number of property slots of every script object.
constexpr int kScriptPropertyCount = 136;

// What a property keyword is followed by.
enum class PropertyForm : uint8_t {
    None,            // no keyword sets this number
    String,          // a string or "none"
    Integer,         // a number (a real is truncated with a warning)
    Real,            // a number
    Truth,           // "yes" or "no"
    Reference,       // a name or "none"
    StringOrInteger, // a string, "none" or a number
    Use,             // a use statement
    Life,            // a life statement
};

struct ScriptKeyword {
    // The words as written, separated by one blank. Between the words of a
    // multi-word keyword any number of blanks and tabs, or none, may stand,
    // unless exactBlanks is set.
    const char* text;
    ScriptToken token;
    int32_t value;     // Integer: the constant; Boolean: 1 or 0; Difficulty: 0..3
    int16_t property;  // property number set by the keyword, or -1
    int8_t type;       // ScriptTypeId named by the keyword, or -1
    bool exactBlanks;  // the words stand exactly one blank apart
};

// Every keyword of the parse pass.
std::span<const ScriptKeyword> ScriptKeywords();

// The value form of property `number` (0..kScriptPropertyCount-1).
PropertyForm ScriptPropertyForm(int number);

// The keyword of a definition type ("ammo info", "role", ...).
const char* ScriptTypeKeyword(ScriptTypeId type);
