#include "Tv/defs/ownedtext.h"

#include <cstring>

#include "core/mem.h"

char* TextCopy(std::string_view text) {
    char* copy = static_cast<char*>(MemAlloc(text.size() + 1));
    if (!text.empty()) std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

void TextFree(char* text) { MemFree(text); }

OwnedText OwnedText::FromNullable(const char* text) { return text ? OwnedText(text) : OwnedText(); }

OwnedText::OwnedText(const OwnedText& other) : text_(other.text_ ? TextCopy(other.text_) : nullptr) {}

OwnedText& OwnedText::operator=(const OwnedText& other) {
    if (this != &other) {
        char* copy = other.text_ ? TextCopy(other.text_) : nullptr;
        TextFree(text_);
        text_ = copy;
    }
    return *this;
}

OwnedText& OwnedText::operator=(OwnedText&& other) noexcept {
    if (this != &other) {
        TextFree(text_);
        text_ = other.text_;
        other.text_ = nullptr;
    }
    return *this;
}

uint32_t HashStringUpper(const char* text) {
    uint32_t sum = 0;
    for (; *text; ++text) {
        char c = *text;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
    }
    return sum;
}
