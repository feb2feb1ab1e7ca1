// Whether the tests run under AddressSanitizer, which reserves terabytes of address space and keeps freed
// memory in quarantine: address-space caps and resident-size checks mean nothing there.
#pragma once

namespace zuvela {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool k_under_address_sanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool k_under_address_sanitizer = true;
#else
inline constexpr bool k_under_address_sanitizer = false;
#endif
#else
inline constexpr bool k_under_address_sanitizer = false;
#endif

}  // namespace zuvela
