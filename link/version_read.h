#pragma once

// The version bytes of an instrument, read into the shared device state: the kind in byte 1
// decides how the instrument is read and scaled.

namespace zorvan::link {

// Reads the four version bytes of instrument `device` (0 for instrument 1); false when it did
// not answer, and the bytes are left as they were.
bool ReadVersion(int device);

// All four bytes of instrument 1 are 0 before its first answer and after a lost connection.
bool FirstVersionUnknown();

} // namespace zorvan::link
