// Whether this build runs under AddressSanitizer, whose shadow memory and
// quarantine make every allocation and pass cost several times as much: the
// hostile-input tests scale their sizes and memory bounds by it.
#pragma once

namespace proof {

#if defined(__SANITIZE_ADDRESS__)
/// True in an AddressSanitizer build (GCC's macro).
inline constexpr bool sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
/// True in an AddressSanitizer build (Clang's feature test).
inline constexpr bool sanitized = true;
#else
/// False: a plain build.
inline constexpr bool sanitized = false;
#endif
#else
/// False: a plain build.
inline constexpr bool sanitized = false;
#endif

} // namespace proof
