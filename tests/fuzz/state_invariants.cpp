#include "tests/fuzz/state_invariants.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <utility>

#include "canvas/standard_palette.h"

namespace scrivola::fuzz {

bool isDecimalInteger(std::string_view text) {
    const std::string_view digits = text.starts_with('-') ? text.substr(1) : text;
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    if (digits.size() > 1 && digits.front() == '0') {
        return false;
    }
    if (digits == "0" && digits.size() != text.size()) {
        return false;  // "-0"
    }
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool isSwatchColour(ColorValue colour) {
    return std::find(kStandardPalette.begin() + 8, kStandardPalette.end(), colour) !=
           kStandardPalette.end();
}

std::string firstViolation(const SynthState& state, ColorValue penColour, bool leftPressedYet) {
    if (state.penDown != 0 && state.penDown != -1) {
        return "penDown is " + std::to_string(state.penDown);
    }
    if (state.level < 0 || state.level > 100) {
        return "level is " + std::to_string(state.level);
    }
    const std::pair<const char*, const std::string*> texts[] = {
        {"amsp", &state.amsp}, {"fmsp", &state.fmsp}, {"amsp2", &state.amsp2},
        {"cut", &state.cut},   {"cut2", &state.cut2},
    };
    for (const auto& [name, text] : texts) {
        if (!isDecimalInteger(*text)) {
            return std::string(name) + " is \"" + *text + "\"";
        }
    }
    const bool amountMayBeEmpty = !leftPressedYet && state.amount.empty();
    if (!amountMayBeEmpty && !isDecimalInteger(state.amount)) {
        return "amount is \"" + state.amount + "\"";
    }
    if (!isSwatchColour(penColour)) {
        return "pen colour is " + std::to_string(penColour);
    }
    return {};
}

}  // namespace scrivola::fuzz
