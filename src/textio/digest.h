// Digests of texts and files, so that a game record can say which bytes a
// player saw or saved without storing them all, and a replay can tell
// whether it saw the same.
#pragma once

#include <string>
#include <string_view>

namespace plotwright {

// The SHA-256 digest of `bytes`, as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace plotwright
