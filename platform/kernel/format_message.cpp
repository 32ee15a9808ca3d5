// SPDX-License-Identifier: MIT
// FormatMessageA: system error texts and caller strings, with escapes, inserts and wrapping.
#include "kernel/error_text.h"

#include <win32/kernel.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr DWORD kLanguageEnglish = 0x09;

// The layer's texts are English; a neutral or default language finds them too.
bool has_language(DWORD language) noexcept
{
    DWORD primary = language & 0x3ff;
    return language <= 0xffff && (primary == LANG_NEUTRAL || primary == kLanguageEnglish);
}

// The nth (1-based) pointer-sized argument, from a va_list or from an array.
DWORD_PTR argument(va_list* arguments, bool array, unsigned n) noexcept
{
    if (array)
        return reinterpret_cast<const DWORD_PTR*>(arguments)[n - 1];
    va_list copy;
    va_copy(copy, *arguments);
    DWORD_PTR value = 0;
    for (unsigned i = 0; i < n; ++i)
        value = va_arg(copy, DWORD_PTR);
    va_end(copy);
    return value;
}

// Appends one insert in the printf form between the '!' marks ("s" when none was given):
// flags, width, precision, an optional h or l, and one of s c d i u o x X.
bool append_insert(std::string& out, const std::string& form, DWORD_PTR value)
{
    size_t conversion = form.find_first_not_of("-+ #0123456789.");
    if (conversion == std::string::npos)
        return false;
    std::string printf_format = "%" + form.substr(0, conversion);
    std::string rest = form.substr(conversion);
    if (rest.size() == 2 && (rest[0] == 'h' || rest[0] == 'l'))
        rest.erase(0, 1);
    if (rest.size() != 1 || std::strchr("scdiuoxX", rest[0]) == nullptr)
        return false;
    printf_format += rest;
    char piece[512];
    if (rest[0] == 's') {
        const char* text = reinterpret_cast<const char*>(value);
        std::snprintf(piece, sizeof piece, printf_format.c_str(), text ? text : "(null)");
    } else if (rest[0] == 'c' || rest[0] == 'd' || rest[0] == 'i') {
        std::snprintf(piece, sizeof piece, printf_format.c_str(), static_cast<int>(value));
    } else {
        std::snprintf(piece, sizeof piece, printf_format.c_str(), static_cast<unsigned>(value));
    }
    out += piece;
    return true;
}

enum class Ending { Open, Closed };

struct Expansion {
    std::string text;
    Ending ending = Ending::Open; // Closed after %0: no line break is added
    DWORD error = ERROR_SUCCESS;
};

// Expands the escapes (%n %r %t %0 %% %. %! %space) and the inserts %1 to %99.
Expansion expand(const char* text, DWORD flags, va_list* arguments)
{
    Expansion result;
    std::string& out = result.text;
    for (const char* p = text; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        char escape = p[1];
        if (escape >= '1' && escape <= '9') {
            const char* q = p + 2;
            unsigned n = static_cast<unsigned>(escape - '0');
            if (*q >= '0' && *q <= '9')
                n = n * 10 + static_cast<unsigned>(*q++ - '0');
            std::string form = "s";
            if (*q == '!') {
                const char* close = std::strchr(q + 1, '!');
                if (!close) {
                    result.error = ERROR_INVALID_PARAMETER;
                    return result;
                }
                form.assign(q + 1, close);
                q = close + 1;
            }
            if (flags & FORMAT_MESSAGE_IGNORE_INSERTS) {
                out.append(p, q);
            } else if (!arguments ||
                       !append_insert(out, form, argument(arguments, flags & FORMAT_MESSAGE_ARGUMENT_ARRAY, n))) {
                result.error = ERROR_INVALID_PARAMETER;
                return result;
            }
            p = q;
            continue;
        }
        switch (escape) {
        case '\0':
            out += '%';
            return result;
        case '0':
            result.ending = Ending::Closed;
            return result;
        case 'n':
            out += "\r\n";
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        default:
            out += escape; // %% %. %! and "% " stand for the character itself
            break;
        }
        p += 2;
    }
    return result;
}

// Breaks lines longer than width at their last space (or anywhere, for one long word).
std::string wrap(const std::string& text, size_t width)
{
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t newline = text.find('\n', start);
        size_t line_end = newline == std::string::npos ? text.size() : newline;
        if (line_end - start <= width) {
            size_t next = newline == std::string::npos ? text.size() : newline + 1;
            out.append(text, start, next - start);
            start = next;
            continue;
        }
        size_t space = text.rfind(' ', start + width);
        bool at_space = space != std::string::npos && space > start;
        size_t cut = at_space ? space : start + width;
        out.append(text, start, cut - start);
        out += "\r\n";
        start = at_space ? cut + 1 : cut;
    }
    return out;
}

DWORD fail(DWORD error) noexcept
{
    SetLastError(error);
    return 0;
}

} // namespace

DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId, LPSTR lpBuffer,
                            DWORD nSize, va_list* Arguments)
{
    if (!lpBuffer)
        return fail(ERROR_INVALID_PARAMETER);
    const char* text = nullptr;
    bool system_text = false;
    if (dwFlags & FORMAT_MESSAGE_FROM_STRING) {
        text = static_cast<const char*>(lpSource);
        if (!text)
            return fail(ERROR_INVALID_PARAMETER);
    } else if (dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) {
        // NOTE: modules carry no message tables here, so FORMAT_MESSAGE_FROM_HMODULE adds nothing.
        if (!has_language(dwLanguageId))
            return fail(ERROR_RESOURCE_LANG_NOT_FOUND);
        text = vexil::kernel::error_text(dwMessageId);
        if (!text)
            return fail(ERROR_MR_MID_NOT_FOUND);
        system_text = true;
    } else {
        return fail(dwFlags & FORMAT_MESSAGE_FROM_HMODULE ? ERROR_MR_MID_NOT_FOUND : ERROR_INVALID_PARAMETER);
    }

    std::string message;
    try {
        Expansion expansion = expand(text, dwFlags, Arguments);
        if (expansion.error != ERROR_SUCCESS)
            return fail(expansion.error);
        DWORD width = dwFlags & FORMAT_MESSAGE_MAX_WIDTH_MASK;
        message = std::move(expansion.text);
        // System texts end in a line break, as in Windows' message tables, unless %0 ends them
        // or a line width is given.
        if (width == 0 && system_text && expansion.ending == Ending::Open)
            message += "\r\n";
        if (width != 0 && width != FORMAT_MESSAGE_MAX_WIDTH_MASK)
            message = wrap(message, width);
    } catch (const std::bad_alloc&) {
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }

    DWORD length = static_cast<DWORD>(message.size());
    if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
        // lpBuffer really is an LPSTR*; the caller frees the text with LocalFree.
        SIZE_T bytes = length + 1 > nSize ? length + 1 : nSize;
        auto* allocated = static_cast<char*>(LocalAlloc(LMEM_FIXED, bytes));
        if (!allocated)
            return fail(ERROR_NOT_ENOUGH_MEMORY);
        std::memcpy(allocated, message.c_str(), length + 1);
        *reinterpret_cast<LPSTR*>(lpBuffer) = allocated;
        return length;
    }
    if (length + 1 > nSize)
        return fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(lpBuffer, message.c_str(), length + 1);
    return length;
}
