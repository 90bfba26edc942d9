// Locales that write a decimal comma, by the names the C library knows them
// by: glibc's on Linux, the Windows C runtime's language_country.codepage.
#pragma once

namespace proof {

/// Two comma-decimal locales for the locale tests; a missing one is skipped.
#ifdef _WIN32
inline constexpr const char* comma_locales[] = {"German_Germany.1252", "French_France.1252"};
#else
inline constexpr const char* comma_locales[] = {"de_DE.UTF-8", "fr_FR.UTF-8"};
#endif

} // namespace proof
