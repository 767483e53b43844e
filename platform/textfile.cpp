#include "platform/textfile.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "platform/paths.h"

namespace plat {
namespace {

constexpr int kEndOfText = 0x1A; // ends a text-mode read, as in the Windows C runtime

struct Mode {
    std::string stdioMode; // always binary: the translation is ours
    bool text = true;
    bool creates = false;
};

// "r", "w" or "a", then '+', 'b' and 't' in any order, each at most once.
bool ParseMode(std::string_view mode, Mode& out) {
    if (mode.empty() || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) return false;
    out.creates = mode[0] != 'r';
    bool plus = false, binary = false, text = false;
    for (char c : mode.substr(1)) {
        bool* seen = c == '+' ? &plus : c == 'b' ? &binary : c == 't' ? &text : nullptr;
        if (!seen || *seen) return false;
        *seen = true;
    }
    if (binary && text) return false;
    out.text = !binary;
    out.stdioMode = std::string(1, mode[0]) + (plus ? "+" : "") + "b";
    return true;
}

} // namespace

TextFile::~TextFile() { Close(); }

TextFile::TextFile(TextFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), text_(other.text_), eof_(other.eof_), pending_(other.pending_) {}

TextFile& TextFile::operator=(TextFile&& other) noexcept {
    if (this != &other) {
        Close();
        file_ = std::exchange(other.file_, nullptr);
        text_ = other.text_;
        eof_ = other.eof_;
        pending_ = other.pending_;
    }
    return *this;
}

TextFile TextFile::Open(std::string_view name, std::string_view mode) {
    TextFile file;
    Mode parsed;
    if (!ParseMode(mode, parsed)) return file;
    const std::string path = ResolvePath(name);
    const bool creates = parsed.creates && access(path.c_str(), F_OK) != 0;
    file.file_ = std::fopen(path.c_str(), parsed.stdioMode.c_str());
    file.text_ = parsed.text;
    if (file.file_ && creates) detail::ForgetResolvedPath(path);
    return file;
}

bool TextFile::Close() {
    if (!file_) return true;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    eof_ = false;
    pending_ = -1;
    return ok;
}

int TextFile::GetChar() {
    if (!file_ || eof_) return EOF;
    int c = pending_ >= 0 ? std::exchange(pending_, -1) : std::getc(file_);
    if (text_ && c == '\r') {
        const int next = std::getc(file_);
        if (next == '\n') return '\n';
        if (next != EOF) pending_ = next; // a lone CR stays
    }
    if (c == EOF || (text_ && c == kEndOfText)) {
        eof_ = true;
        return EOF;
    }
    return c;
}

size_t TextFile::Read(void* buffer, size_t n) {
    if (!file_) return 0;
    if (!text_) {
        const size_t got = std::fread(buffer, 1, n, file_);
        if (got < n) eof_ = true;
        return got;
    }
    // Whole blocks, translated in place: the bytes only ever shrink.
    auto* out = static_cast<unsigned char*>(buffer);
    size_t got = 0;
    while (got < n && !eof_) {
        if (pending_ >= 0) { // the byte read ahead after a CR
            const int c = GetChar();
            if (c != EOF) out[got++] = static_cast<unsigned char>(c);
            continue;
        }
        const size_t raw = std::fread(out + got, 1, n - got, file_);
        if (raw == 0) {
            eof_ = true;
            break;
        }
        // Bytes before the first CR or end-of-text mark stay where they are.
        unsigned char* const start = out + got;
        unsigned char* const end = start + raw;
        auto* cr = static_cast<unsigned char*>(std::memchr(start, '\r', raw));
        auto* endOfText = static_cast<unsigned char*>(std::memchr(start, kEndOfText, raw));
        unsigned char* write = cr && endOfText ? std::min(cr, endOfText) : cr ? cr : endOfText ? endOfText : end;
        for (const unsigned char* p = write; p < end; ++p) {
            if (*p == kEndOfText) {
                eof_ = true;
                break;
            }
            if (*p == '\r') {
                if (p + 1 < end) {
                    if (p[1] == '\n') continue; // the LF follows
                } else {
                    // The block ends on a CR: the next byte decides.
                    const int next = std::getc(file_);
                    if (next == '\n') {
                        *write++ = '\n';
                        continue;
                    }
                    if (next != EOF) pending_ = next; // a lone CR stays
                }
            }
            *write++ = *p;
        }
        got = static_cast<size_t>(write - out);
    }
    return got;
}

bool TextFile::ReadLine(std::string& line) {
    line.clear();
    int c = GetChar();
    if (c == EOF) return false;
    for (; c != EOF && c != '\n'; c = GetChar()) line += static_cast<char>(c);
    if (c == '\n' && !line.empty() && line.back() == '\r') line.pop_back(); // a binary-mode CR LF
    return true;
}

bool TextFile::Write(const void* data, size_t n) {
    if (!file_) return false;
    const char* bytes = static_cast<const char*>(data);
    if (!text_) return std::fwrite(bytes, 1, n, file_) == n;
    size_t start = 0;
    for (size_t i = 0; i < n; ++i) {
        if (bytes[i] != '\n') continue;
        if (std::fwrite(bytes + start, 1, i - start, file_) != i - start || std::fwrite("\r\n", 1, 2, file_) != 2)
            return false;
        start = i + 1;
    }
    return std::fwrite(bytes + start, 1, n - start, file_) == n - start;
}

bool TextFile::Printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length >= 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.pop_back();
    }
    va_end(args);
    return length >= 0 && Write(text);
}

bool TextFile::Flush() { return file_ && std::fflush(file_) == 0; }

bool ReadTextFile(std::string_view name, std::string& out) {
    TextFile file = TextFile::Open(name, "rt");
    if (!file.IsOpen()) return false;
    out.clear();
    char chunk[65536];
    while (size_t got = file.Read(chunk, sizeof chunk)) out.append(chunk, got);
    return true;
}

} // namespace plat
