// Whether the tests run under AddressSanitizer, which reserves terabytes of address space and keeps freed
// memory in quarantine: address-space caps and resident-size checks mean nothing there.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

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

// Caps this process's address space at 1 GB above what it uses now, so that a file wrongly accepted cannot
// take the machine's memory; not under AddressSanitizer, which needs the room. For forked test children.
inline void cap_address_space_growth() {
    if (k_under_address_sanitizer) return;
    long pages = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    const rlim_t cap = rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + (rlim_t(1) << 30);
    const rlimit limit{cap, cap};
    ::setrlimit(RLIMIT_AS, &limit);
}

}  // namespace zuvela
