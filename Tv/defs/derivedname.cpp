#include "Tv/defs/derivedname.h"

#include "Awapi/shape_instance.h"

std::string DerivedFileName(std::string_view source, std::string_view extension, size_t minimumLength) {
    if (source.size() < minimumLength || source.size() < extension.size()) return {};
    std::string derived(source);
    derived.replace(derived.size() - extension.size(), extension.size(), extension);
    if (AwNamesMatch(derived, std::string(source).c_str())) return {};
    return derived;
}
