#include "panel/service_sequence.h"

#include <algorithm>

namespace zorvan::panel {
namespace {

// With the Russian layout active the same keys arrive as the Cyrillic letters that share them.
constexpr std::array<int, kServiceLetters.size()> kRussianLayoutLetters{
    0x042F, // Я
    0x0429, // Щ
    0x041A, // К
    0x041C, // М
    0x0424, // Ф
    0x0422, // Т
};

// Pressing or re-pressing a modifier on its own is no key of the sequence.
bool modifierOnly(int key) {
    constexpr std::array modifiers{Qt::Key_Control, Qt::Key_Shift, Qt::Key_Alt, Qt::Key_Meta,
                                   Qt::Key_AltGr};
    return std::find(modifiers.begin(), modifiers.end(), key) != modifiers.end();
}

bool isLetter(int key, std::size_t index) {
    return key == kServiceLetters[index] || key == kRussianLayoutLetters[index];
}

} // namespace

bool ServiceSequence::keyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (modifierOnly(key)) {
        return false;
    }
    const auto next = static_cast<std::size_t>(counter_);
    if (!modifiers.testFlag(Qt::ControlModifier) || !isLetter(key, next)) {
        counter_ = 0;
        return false;
    }
    ++counter_;
    if (counter_ < static_cast<std::int32_t>(kServiceLetters.size())) {
        return false;
    }
    counter_ = 0;
    return true;
}

} // namespace zorvan::panel
