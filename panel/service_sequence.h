#pragma once

// The hidden key sequence that shows and hides the service items of the main menu: six letters
// typed one after the other while Ctrl is held.

#include <QKeyEvent>
#include <array>
#include <cstdint>

namespace zorvan::panel {

// The letters, in order (Ctrl held for each).
inline constexpr std::array<Qt::Key, 6> kServiceLetters{Qt::Key_Z, Qt::Key_O, Qt::Key_R,
                                                        Qt::Key_V, Qt::Key_A, Qt::Key_N};

class ServiceSequence {
public:
    // Counts one key typed into the window. The next expected letter with Ctrl held advances the
    // count; any other key, or the letter without Ctrl, starts again from the first letter. True
    // when the key completed the sequence, which then starts again from the first letter.
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);
    bool keyDown(const QKeyEvent& event) { return keyDown(event.key(), event.modifiers()); }

    std::int32_t typed() const { return counter_; }

private:
    std::int32_t counter_ = 0;
};

} // namespace zorvan::panel
