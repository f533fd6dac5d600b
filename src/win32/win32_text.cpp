#include "win32/win32_text.h"

#include <windows.h>

namespace varnel::win32 {

namespace {

std::wstring toWide(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string toNarrow(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    const int n =
        WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

std::wstring wideFromUtf8(std::string_view text) { return toWide(CP_UTF8, text); }
std::string utf8FromWide(std::wstring_view text) { return toNarrow(CP_UTF8, text); }

std::wstring wideFromBytes(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (char b : bytes) out += static_cast<wchar_t>(static_cast<unsigned char>(b));
    return out;
}

std::string bytesFromWide(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    // A character beyond one byte cannot be stored; '?' is what the record
    // would show for it.
    for (wchar_t c : text) out += c < 256 ? static_cast<char>(c) : '?';
    return out;
}

std::string localPath(std::wstring_view path) { return toNarrow(CP_ACP, path); }
std::wstring widePath(std::string_view path) { return toWide(CP_ACP, path); }

}  // namespace varnel::win32
