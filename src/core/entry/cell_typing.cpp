#include "core/entry/cell_typing.h"

#include "core/solver/text_rules.h"

namespace valmora {

TypedCell TypeIntoCell(std::string_view text, bool fresh, char32_t key, std::string_view entered) {
    TypedCell out{TypedCell::Outcome::Taken, std::string(text), false};
    switch (key) {
        case kKeyEscape:
            out.text = std::string(entered);
            out.fresh = true;
            return out;
        case kKeyBackspace:
            if (!out.text.empty()) out.text.pop_back();
            return out;
        case kKeyDelete: out.text.clear(); return out;
        default: break;
    }
    const bool typed = (key >= '0' && key <= '9') || key == '.' || key == 'e' || key == 'E' || key == '-';
    if (!typed) {
        out = {TypedCell::Outcome::Refused, std::string(text), fresh};
        return out;
    }
    const char c = static_cast<char>(key);
    std::string next;
    if (fresh) next = std::string(1, c);
    // A minus starts the number again, except as the sign of an exponent.
    else if (c == '-' && !(text.ends_with('e') || text.ends_with('E'))) next = "-";
    else next = std::string(text) + c;
    switch (TypingState(next)) {
        case NumberTyping::Invalid: return {TypedCell::Outcome::Refused, std::string(text), fresh};
        case NumberTyping::TooLarge: return {TypedCell::Outcome::TooLarge, std::string(text), fresh};
        default: out.text = std::move(next); return out;
    }
}

}  // namespace valmora
