#pragma once
// Names of the files derived from a level's files (the ".opt" and ".loc"
// twins of a model, the ".cut" and ".map" caches of a level script): the
// source name with its last three characters replaced.

#include <string>
#include <string_view>

// "" when no safe name exists: the source is too short to carry an extension
// (`minimumLength` characters or fewer than it), or the derived name would be
// the source itself (compared without regard to case), which a rewrite of the
// cache would overwrite.
std::string DerivedFileName(std::string_view source, std::string_view extension, size_t minimumLength = 4);
