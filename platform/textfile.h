#pragma once
// C-runtime-style streams (fopen modes "r", "w", "a", "r+", "w+", "a+", each
// with "b" for binary or "t"/nothing for text). In text mode CR LF becomes LF
// on reading, LF becomes CR LF on writing, and a byte 0x1A ends a read.

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace plat {

class TextFile {
public:
    TextFile() = default;
    ~TextFile();
    TextFile(TextFile&& other) noexcept;
    TextFile& operator=(TextFile&& other) noexcept;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opens a stream; check IsOpen(). An unknown mode fails.
    static TextFile Open(std::string_view name, std::string_view mode);

    bool IsOpen() const { return file_ != nullptr; }
    bool Close();

    // Reads up to n bytes (after text translation); 0 at the end.
    size_t Read(void* buffer, size_t n);
    // Next byte, or EOF.
    int GetChar();
    // Reads one line without its line end; false at the end of the stream.
    bool ReadLine(std::string& line);
    // Writes n bytes (LF translated in text mode); false on failure.
    bool Write(const void* data, size_t n);
    bool Write(std::string_view text) { return Write(text.data(), text.size()); }
    // Formatted write, bounded by the formatted length; false on failure.
    bool Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    bool Flush();
    bool AtEnd() const { return eof_; }

private:
    std::FILE* file_ = nullptr;
    bool text_ = true;
    bool eof_ = false;
    int pending_ = -1; // a byte read ahead while looking for LF after CR
};

// Whole file read in text mode (CR LF -> LF, stops at 0x1A); false when it cannot be read.
bool ReadTextFile(std::string_view name, std::string& out);

} // namespace plat
