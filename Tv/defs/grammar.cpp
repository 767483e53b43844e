#include "Tv/defs/grammar.h"

#include <cmath>

#include "Tv/defs/definitiontypes.h"
#include "Tv/defs/diagnostics.h"
#include "Tv/defs/scanner.h"
#include "core/clock.h"
#include "core/numeric.h"

namespace {

int32_t DefaultDifficulty() { return 1; }
ScriptDifficultyHook difficultyHook = &DefaultDifficulty;

// A real written where an integer belongs: truncated toward zero, kept within the int32 range.
int32_t TruncateToInt(double value) {
    double t = std::trunc(value);
    if (t <= INT32_MIN) return INT32_MIN;
    if (t >= INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(t);
}

class ParsePass {
public:
    ParsePass(ScriptScanner& scanner, SymbolTable& symbols, ScriptObjectFamily& family, uint32_t mode,
              List<ScriptObject*>& definitions)
        : scanner_(scanner), symbols_(symbols), family_(family), mode_(mode), definitions_(definitions) {}

    bool Run();

private:
    // Each returns false on a syntax error.
    bool Declaration();
    bool Definition();
    bool Properties(List<PropertyValue*>& records);
    // `record` stays null when the assignment yields none.
    bool Assignment(PropertyValue*& record);
    bool LifeStatement(PropertyValue*& record);
    bool UseStatement(PropertyValue*& record);
    bool ReadBinding(List<Binding*>& bindings);
    bool IntegerNumber(int32_t& value);
    bool RealNumber(double& value);

    // The object a definition block made, with the block's reference; null
    // when the block yields none.
    ScriptObject* FinishBlock(ScriptObjectRef& object, bool abstract, ScriptObject* base,
                              const List<PropertyValue*>& records);
    ScriptObject* NamedType(ScriptTypeId type, std::string_view name);
    ReferenceValue* Reference(int32_t number, std::string_view name);
    ScriptObject* Lookup(std::string_view name) const;

    void Next() { token_ = scanner_.Lex(value_); }
    bool AtTypeKeyword() const { return token_ == ScriptToken::Keyword && value_.keyword->type >= 0; }
    bool AtPropertyStart() const;

    ScriptScanner& scanner_;
    SymbolTable& symbols_;
    ScriptObjectFamily& family_;
    const uint32_t mode_;
    List<ScriptObject*>& definitions_;
    ScriptToken token_ = ScriptToken::End;
    ScriptTokenValue value_;
};

bool ParsePass::Run() {
    Next();
    bool parsed = token_ == ScriptToken::ParseStart;
    if (parsed) Next();
    while (parsed && token_ != ScriptToken::End)
        parsed = token_ == ScriptToken::Declare ? Declaration() : Definition();
    if (!parsed) {
        CompilerError("syntax error");
        return false;
    }
    if (definitions_.IsEmpty()) CompilerWarning("empty script found");
    return true;
}

bool ParsePass::Declaration() {
    Next();
    if (!AtTypeKeyword()) return false;
    auto type = static_cast<ScriptTypeId>(value_.keyword->type);
    Next();
    if (token_ != ScriptToken::Identifier) return false;
    NamedType(type, value_.text); // the symbol table keeps it, neither defined nor listed
    Next();
    return true;
}

bool ParsePass::Definition() {
    while (token_ == ScriptToken::Define) Next();
    bool abstract = token_ == ScriptToken::Abstract;
    if (abstract) Next();
    if (!AtTypeKeyword()) return false;
    auto type = static_cast<ScriptTypeId>(value_.keyword->type);
    Next();

    ScriptObject* made = nullptr;
    if (token_ == ScriptToken::Identifier) {
        made = NamedType(type, value_.text);
        if (made) made->AddRef();
        Next();
    } else if (token_ == ScriptToken::Inherits || token_ == ScriptToken::Open) {
        made = ScriptTypeFactory(type)();
        made->SetAnonymous();
        family_.Adopt(made);
    } else {
        return false;
    }
    ScriptObjectRef object(made);

    ScriptObject* base = nullptr;
    if (token_ == ScriptToken::Inherits) {
        Next();
        if (token_ != ScriptToken::Identifier) return false;
        base = Lookup(value_.text);
        if (!base || !base->IsDefined()) {
            CompilerError("symbol '%.*s' has not been defined", static_cast<int>(value_.text.size()),
                          value_.text.data());
            base = nullptr;
        }
        Next();
    }
    if (token_ != ScriptToken::Open) return false;
    Next();
    OwnedRecords<PropertyValue> records;
    if (!Properties(records.list) || token_ != ScriptToken::Close) return false;

    if (ScriptObject* finished = FinishBlock(object, abstract, base, records.list)) {
        if (finished->AllowedInMode(mode_)) {
            definitions_.PushBack(finished);
        } else {
            CompilerWarning("unsuitable script object type ignored");
            finished->Release();
        }
    }
    Next();
    return true;
}

ScriptObject* ParsePass::FinishBlock(ScriptObjectRef& object, bool abstract, ScriptObject* base,
                                     const List<PropertyValue*>& records) {
    if (!object) return nullptr;
    if (object->IsDefined()) {
        CompilerError("object has already been defined");
        return nullptr;
    }
    if (base) {
        if (base->Factory() == object->Factory())
            object->InheritFrom(*base);
        else
            CompilerError("cannot inherit from a different type");
    }
    for (const PropertyValue* record : records) object->AssignValue(*record);
    object->FinishDefinition();
    if (!abstract) {
        if (object->IsComplete()) return object.Release();
        CompilerWarning("abstract definition not declared with 'abstract'");
    }
    // Abstract: a named object lives on in the symbol table as a base or a
    // reference target; the block's own reference goes.
    if (object->IsAnonymous()) CompilerWarning("anonymous abstract definitions are pointless");
    return nullptr;
}

bool ParsePass::AtPropertyStart() const {
    switch (token_) {
    case ScriptToken::Difficulty:
    case ScriptToken::Use:
    case ScriptToken::Life: return true;
    case ScriptToken::Keyword: return value_.keyword->property >= 0;
    default: return false;
    }
}

bool ParsePass::Properties(List<PropertyValue*>& records) {
    while (AtPropertyStart()) {
        int32_t difficulty = -1;
        if (token_ == ScriptToken::Difficulty) {
            difficulty = value_.integer;
            Next();
        }
        PropertyValue* record = nullptr;
        if (!Assignment(record)) return false;
        if (record && difficulty >= 0 && difficulty != difficultyHook()) {
            delete record; // meant for another difficulty level
            record = nullptr;
        }
        if (record) records.PushBack(record);
    }
    return true;
}

bool ParsePass::Assignment(PropertyValue*& record) {
    if (token_ == ScriptToken::Use) return UseStatement(record);
    if (token_ == ScriptToken::Life) return LifeStatement(record);
    if (token_ != ScriptToken::Keyword || value_.keyword->property < 0) return false;
    const int32_t number = value_.keyword->property;
    const PropertyForm form = ScriptPropertyForm(number);
    Next();
    switch (form) {
    case PropertyForm::String:
    case PropertyForm::StringOrInteger:
        if (token_ == ScriptToken::String || token_ == ScriptToken::None) {
            record = new StringValue(number, token_ == ScriptToken::String ? OwnedText(value_.text) : OwnedText());
            Next();
            return true;
        }
        if (form == PropertyForm::String) return false;
        [[fallthrough]]; // "identifier" written with a number
    case PropertyForm::Integer: {
        int32_t value = 0;
        if (!IntegerNumber(value)) return false;
        record = new IntegerValue(number, value);
        return true;
    }
    case PropertyForm::Real: {
        double value = 0;
        if (!RealNumber(value)) return false;
        record = new RealValue(number, value);
        return true;
    }
    case PropertyForm::Truth:
        if (token_ != ScriptToken::Boolean) return false;
        record = new BooleanValue(number, value_.integer != 0);
        Next();
        return true;
    case PropertyForm::Reference:
        if (token_ == ScriptToken::None)
            record = new ReferenceValue(number, nullptr);
        else if (token_ == ScriptToken::Identifier)
            record = Reference(number, value_.text);
        else
            return false;
        Next();
        return true;
    default: return false;
    }
}

bool ParsePass::IntegerNumber(int32_t& value) {
    if (token_ == ScriptToken::Integer) {
        value = value_.integer;
    } else if (token_ == ScriptToken::Real) {
        CompilerWarning("expecting an integral constant");
        value = TruncateToInt(value_.real);
    } else {
        return false;
    }
    Next();
    return true;
}

bool ParsePass::RealNumber(double& value) {
    if (token_ == ScriptToken::Real)
        value = value_.real;
    else if (token_ == ScriptToken::Integer)
        value = value_.integer;
    else
        return false;
    Next();
    return true;
}

bool ParsePass::LifeStatement(PropertyValue*& record) {
    Next();
    if (token_ == ScriptToken::Infinite) {
        record = new LifeValue(kLifeInfinite, 0);
        Next();
        return true;
    }
    // The unit after the number decides whether it must be integral.
    if (token_ != ScriptToken::Integer && token_ != ScriptToken::Real) return false;
    const bool real = token_ == ScriptToken::Real;
    const double number = real ? value_.real : value_.integer;
    int32_t integer = value_.integer;
    Next();
    if (token_ == ScriptToken::Seconds || token_ == ScriptToken::Minutes) {
        // The written number times the ticks per second, rounded once to
        // single precision toward minus infinity: the double product, rounded
        // down, then rounded down to a float, gives that one rounding.
        const double seconds = token_ == ScriptToken::Minutes ? number * 60.0 : number;
        const float ticks = static_cast<float>(seconds * static_cast<double>(CurrentTicksPerSecondFloat()));
        record = new LifeValue(kLifeTicks, FloorToInt(ticks));
    } else if (token_ == ScriptToken::Particles) {
        if (real) {
            CompilerWarning("expecting an integral constant");
            integer = TruncateToInt(number);
        }
        record = new LifeValue(kLifeParticles, integer);
    } else {
        return false;
    }
    Next();
    return true;
}

bool ParsePass::UseStatement(PropertyValue*& record) {
    Next();
    if (token_ != ScriptToken::Identifier) return false;
    const OwnedText roleName(value_.text);
    Next();
    int32_t team = 0;
    if (token_ == ScriptToken::InTeam) {
        Next();
        if (token_ != ScriptToken::Integer) return false;
        team = value_.integer;
        if (team < 0) CompilerError("team numbers cannot be negative");
        Next();
    } else {
        CompilerWarning("no team specified - assuming team 0");
    }
    if (token_ != ScriptToken::For) return false;
    Next();
    OwnedRecords<Binding> bindings;
    if (!ReadBinding(bindings.list)) return false;
    while (token_ == ScriptToken::And || token_ == ScriptToken::String) {
        if (token_ == ScriptToken::And) {
            Next();
            if (!ReadBinding(bindings.list)) return false;
        } else {
            if (!ReadBinding(bindings.list)) return false;
            CompilerWarning("missing 'and'");
        }
    }

    const char* name = roleName.Get();
    ScriptObject* role = Lookup(name);
    if (!role) {
        CompilerError("symbol '%s' has not been declared", name);
        return true;
    }
    if (role->Factory() != &RoleScriptObject::Create) {
        CompilerError("symbol '%s' is not a role", name);
        return true;
    }
    if (role->IsDefined() && !role->IsComplete()) CompilerWarning("symbol '%s' is abstract", name);
    if (team < 0) return true; // reported above; a negative team places nothing
    record = new UseValue(role, team, bindings.list);
    return true;
}

bool ParsePass::ReadBinding(List<Binding*>& bindings) {
    if (token_ != ScriptToken::String) return false;
    auto* binding = new Binding;
    bindings.PushBack(binding);
    binding->objectName = OwnedText(value_.text);
    // Whether a variable follows shows only at the next token, perhaps on a later line.
    const int32_t bindingLine = ScriptTokenLine();
    Next();
    if (token_ == ScriptToken::As) {
        Next();
        if (token_ != ScriptToken::String) return false;
        binding->variableName = OwnedText(value_.text);
        Next();
    } else {
        CompilerWarningAtLine(bindingLine, "no console variable specified");
    }
    return true;
}

ScriptObject* ParsePass::NamedType(ScriptTypeId type, std::string_view name) {
    const ScriptFactory factory = ScriptTypeFactory(type);
    ScriptObject* object = Lookup(name);
    if (!object) {
        object = factory();
        object->SetName(name);
        family_.Adopt(object);
        symbols_.Insert(name, object); // the table keeps the factory's reference
    }
    if (object->Factory() == factory) return object;
    CompilerError("object already defined or declared as a different type");
    return nullptr;
}

ReferenceValue* ParsePass::Reference(int32_t number, std::string_view name) {
    ScriptObject* object = Lookup(name);
    const int length = static_cast<int>(name.size());
    if (!object) {
        CompilerError("symbol '%.*s' has not been declared", length, name.data());
        return nullptr;
    }
    if (object->IsDefined() && !object->IsComplete())
        CompilerWarning("symbol '%.*s' is abstract", length, name.data());
    return new ReferenceValue(number, object);
}

ScriptObject* ParsePass::Lookup(std::string_view name) const {
    ScriptObject** found = symbols_.Find(name);
    return found ? *found : nullptr;
}

} // namespace

void ClearSymbols(SymbolTable& symbols) {
    symbols.Clear([](ScriptObject*& object) { object->Release(); });
}

void SetScriptDifficultyHook(ScriptDifficultyHook hook) { difficultyHook = hook ? hook : &DefaultDifficulty; }

bool RunParsePass(ScriptScanner& scanner, SymbolTable& symbols, ScriptObjectFamily& family, uint32_t mode,
                  List<ScriptObject*>& definitions) {
    return ParsePass(scanner, symbols, family, mode, definitions).Run();
}
