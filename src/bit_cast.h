// BitCast<To>(from): the bits of `from` read as a `To` of the same size (a
// double's bits as a std::uint64_t and back), as std::bit_cast gives them.
// The WebAssembly build's standard library (Emscripten's libc++ 13) has no
// std::bit_cast; there the bytes are copied, which compilers turn into the
// same single move.
#pragma once

#include <cstring>
#include <type_traits>
#include <version>

#if defined(__cpp_lib_bit_cast)
#include <bit>
#endif

namespace plotwright {

template <class To, class From>
To BitCast(const From& from) {
  static_assert(sizeof(To) == sizeof(From), "the bits of one make exactly one of the other");
  static_assert(std::is_trivially_copyable_v<To> && std::is_trivially_copyable_v<From>);
#if defined(__cpp_lib_bit_cast)
  return std::bit_cast<To>(from);
#else
  To to;
  std::memcpy(&to, &from, sizeof(To));
  return to;
#endif
}

}  // namespace plotwright
