#pragma once
// The mixer lines a music volume drives: up to 8 source lines found on the
// speakers destination of every mixer, each with its volume control (one
// channel, 0 to 65,535). Each line's value is saved when it is found and put
// back when the table is restored.

#include <cstdint>
#include <functional>

#include "platform/media/mixer_lines.h"

class MixerLineTable {
public:
    static constexpr int kMaxLines = 8;

    MixerLineTable() = default;
    MixerLineTable(const MixerLineTable&) = delete;
    MixerLineTable& operator=(const MixerLineTable&) = delete;

    // Takes the connected source lines that `accept` wants and that have a
    // volume control; each used line's mixer stays open.
    void Scan(const std::function<bool(const plat::MixerLine&)>& accept);
    // Puts the saved values back and closes the mixers; the table is empty afterwards.
    void Restore();

    // Every used line, the value brought within 0 to 65,535.
    void SetAll(int32_t value);
    // Line 0's value, read from its mixer; 0 when line 0 is not used.
    int32_t FirstValue();

    bool Used(int line) const { return used_[line]; }
    uint32_t MixerId(int line) const { return mixerIds_[line]; }

private:
    bool used_[kMaxLines] = {};
    uint32_t mixerIds_[kMaxLines] = {};
    plat::MixerHandle handles_[kMaxLines] = {};
    uint32_t saved_[kMaxLines] = {};
    plat::MixerControlDetails details_[kMaxLines] = {};
    uint32_t values_[kMaxLines] = {};
};
