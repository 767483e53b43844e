#include "objectprinter.h"

#include "Tv/defs/definitiontypes.h"
#include "Tv/defs/mapscript.h"
#include "Tv/defs/pgeneratorscript.h"

namespace {

void PrintObjectName(std::FILE* out, const ScriptObject* object) {
    if (!object)
        std::fputs("none", out);
    else if (object->Name())
        std::fputs(object->Name(), out);
    else
        std::fprintf(out, "(anonymous %s)", ScriptTypeKeyword(ScriptTypeOf(*object)));
}

void PrintText(std::FILE* out, const char* text) {
    if (text)
        std::fprintf(out, "\"%s\"", text);
    else
        std::fputs("none", out);
}

void PrintSlot(std::FILE* out, const ScriptObject& object, int n) {
    std::fprintf(out, "  %s = ", object.SlotName(n));
    if (!object.HasValue(n)) {
        std::fputs("(no value)\n", out);
        return;
    }
    switch (object.SlotType(n)) {
    case kPropertyBool: std::fputs(object.GetBool(n) ? "yes" : "no", out); break;
    case kPropertyInt: std::fprintf(out, "%d", object.GetValue(n)); break;
    case kPropertyReal: std::fprintf(out, "%g", object.GetReal(n)); break;
    case kPropertyReference: PrintObjectName(out, object.GetReference(n)); break;
    default: PrintText(out, object.GetString(n)); break;
    }
    std::fputs(object.IsSet(n) ? "\n" : "  (default)\n", out);
}

void PrintLife(std::FILE* out, const PGeneratorScriptObject& generator) {
    std::fputs("  life = ", out);
    if (!generator.HasLife())
        std::fputs("(no value)\n", out);
    else if (generator.LifeKindValue() == kLifeInfinite)
        std::fputs("infinite\n", out);
    else
        std::fprintf(out, "%d %s\n", generator.LifeAmount(),
                     generator.LifeKindValue() == kLifeTicks ? "ticks" : "particles");
}

void PrintPlacements(std::FILE* out, const MapScriptObject& map) {
    UseTable::Iterator it;
    for (it.Begin(map.Placements()); !it.AtEnd(); it.Next()) {
        const UseEntry& entry = *it.Current()->Payload;
        std::fputs("  use ", out);
        PrintObjectName(out, entry.role);
        std::fprintf(out, " in team %d for ", entry.team);
        PrintText(out, entry.objectName.Get());
        if (!entry.variableName.IsNone()) {
            std::fputs(" as ", out);
            PrintText(out, entry.variableName.Get());
        }
        std::fputs(entry.inherited ? "  (inherited)\n" : "\n", out);
    }
}

} // namespace

void PrintScriptObject(std::FILE* out, const ScriptObject& object) {
    const ScriptTypeId type = ScriptTypeOf(object);
    std::fprintf(out, "%s ", ScriptTypeKeyword(type));
    PrintObjectName(out, &object);
    std::fputs(object.ReferencesValid() ? "\n" : "  (incomplete)\n", out);
    for (int n = 0; n < kScriptPropertyCount; ++n)
        if (object.SlotType(n) != kPropertyNone) PrintSlot(out, object, n);
    if (type == ScriptTypeId::PGenerator) PrintLife(out, static_cast<const PGeneratorScriptObject&>(object));
    if (type == ScriptTypeId::Map) PrintPlacements(out, static_cast<const MapScriptObject&>(object));
}
