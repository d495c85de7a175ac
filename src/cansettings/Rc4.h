#pragma once
// The RC4 stream cipher: a key schedule and one keystream XORed over the data
// from its first byte. Encryption and decryption are the same operation.

#include "link/Bytes.h"

#include <QByteArray>

namespace Rc4 {
// data XOR the keystream of key; an empty key leaves the data as it is.
tduomenys Apply(const QByteArray& key, const tduomenys& data);
} // namespace Rc4
