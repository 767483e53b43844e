#include "Tv/defs/inputstreams.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr char kFileTail = '\n';
}

ScriptFileStream::ScriptFileStream(std::string_view path)
    : file_(plat::TextFile::Open(path, "r")), name_(path) {}

size_t ScriptFileStream::Read(char* buffer, size_t maximum) {
    size_t got = file_.IsOpen() ? file_.Read(buffer, maximum) : 0;
    if (got < maximum && tailRead_ == 0) {
        buffer[got++] = kFileTail;
        tailRead_ = 1;
    }
    return got;
}

ScriptTokenStream::ScriptTokenStream(std::string_view joinedTokens) : text_(" ") { text_ += joinedTokens; }

void ScriptTokenStream::AppendToken(std::string_view token) { text_.append(token).push_back(' '); }

size_t ScriptTokenStream::Read(char* buffer, size_t maximum) {
    size_t n = std::min(maximum, text_.size() - read_);
    if (n) std::memcpy(buffer, text_.data() + read_, n);
    read_ += n;
    return n;
}
