#pragma once
// Texts owned by the definition compiler's records: a copy in the program's
// allocator, or none.

#include <cstdint>
#include <string_view>

// A new zero-terminated copy of `text` (MemAlloc); TextFree releases it.
char* TextCopy(std::string_view text);
// Frees a TextCopy; null does nothing.
void TextFree(char* text);

// One owned text, or none. Copies copy the text.
class OwnedText {
public:
    OwnedText() = default;
    explicit OwnedText(std::string_view text) : text_(TextCopy(text)) {}
    // A copy of a zero-terminated text, or none when `text` is null.
    static OwnedText FromNullable(const char* text);
    OwnedText(const OwnedText& other);
    OwnedText& operator=(const OwnedText& other);
    OwnedText(OwnedText&& other) noexcept : text_(other.text_) { other.text_ = nullptr; }
    OwnedText& operator=(OwnedText&& other) noexcept;
    ~OwnedText() { TextFree(text_); }

    // The text, or null for none.
    const char* Get() const { return text_; }
    bool IsNone() const { return text_ == nullptr; }

private:
    char* text_ = nullptr;
};

// The sum of a name's characters, each upper-cased (ASCII) and taken as a
// signed byte, in 32-bit arithmetic: the bucket key of the name tables whose
// walk order matters (the map's placements).
uint32_t HashStringUpper(const char* text);
