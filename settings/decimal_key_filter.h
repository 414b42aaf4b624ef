#pragma once

// The key filter of the edit boxes that take a decimal number (the humidity graph's limits and
// reference level): only digits, backspace, one decimal separator and, where a value may be
// negative, '-' can be typed; either separator key types the process separator.

#include <QChar>
#include <QStringView>
#include <optional>

class QLineEdit;

namespace zorvan::settings {

// Whether a box takes '-': the reference level may lie below zero, the limits not.
enum class Sign { Refused, Allowed };

// What a character typed into a box holding `text` becomes: a digit or backspace stays as typed;
// '.' or ',' becomes `separator` while the box holds no `separator` yet; anything else, and a
// second separator, is dropped (nullopt). '-' stays where `sign` allows it.
std::optional<QChar> decimalKeyResult(QChar typed, QStringView text, QChar separator,
                                      Sign sign = Sign::Refused);

// Runs every character typed into `edit` through decimalKeyResult with the process separator.
// Keys that type no printable character (cursor keys, Delete, Tab, Enter, the clipboard
// shortcuts) keep their usual meaning. The filter belongs to the edit.
void filterDecimalKeys(QLineEdit& edit, Sign sign = Sign::Refused);

} // namespace zorvan::settings
