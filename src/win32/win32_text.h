#pragma once

#include <string>
#include <string_view>

namespace varnel::win32 {

// The program's own texts (captions, messages, list rows) are UTF-8.
std::wstring wideFromUtf8(std::string_view text);
std::string utf8FromWide(std::wstring_view text);

// Edit boxes hold the tracker's own bytes, one character per byte, so that a
// typing limit of n characters is n bytes in the record.
std::wstring wideFromBytes(std::string_view bytes);
std::string bytesFromWide(std::wstring_view text);

// A file name as the C runtime's narrow file functions take it (the ANSI
// code page), and back.
std::string localPath(std::wstring_view path);
std::wstring widePath(std::string_view path);

}  // namespace varnel::win32
