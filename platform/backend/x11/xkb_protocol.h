// SPDX-License-Identifier: MIT
// The XKB protocol header of xcb, made includable from C++.
#pragma once

// NOTE: xcb/xkb.h names a struct member `explicit`, a keyword in C++. The member is renamed
// while the header is read; the backend never uses it.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wkeyword-macro"
#endif
#define explicit explicit_member
#include <xcb/xkb.h>
#undef explicit
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
