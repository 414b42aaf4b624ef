#pragma once

#include <cstdint>
#include <optional>

// The version bytes of an instrument, read into the shared device state: the kind in byte 1
// decides how the instrument is read and scaled.

namespace zorvan::link {

// Reads the four version bytes of instrument `device` (0 for instrument 1); its kind (version
// byte 1) as answered, or nothing when it did not answer, and the bytes are left as they were.
std::optional<std::uint8_t> ReadVersion(int device);

// All four bytes of instrument 1 are 0 before its first answer and after a lost connection.
bool FirstVersionUnknown();

} // namespace zorvan::link
