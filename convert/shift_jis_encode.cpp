#include "shift_jis_encode.h"

#if defined(_WIN32)
#include <windows.h>
#elif !defined(__EMSCRIPTEN__)
#include <iconv.h>
#endif

#include <vector>

namespace {

bool isAscii(const std::string& text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

#if defined(_WIN32)

bool encodeWithPlatform(const std::string& utf8, std::string& bytes)
{
    const int size = static_cast<int>(utf8.size());
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (wide <= 0) {
        return false;
    }
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, &text[0], wide);
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), wide, nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) {
        return false;
    }
    bytes.assign(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text.data(), wide, &bytes[0], length, nullptr, nullptr);
    return true;
}

#elif defined(__EMSCRIPTEN__)

// The browser has no encoder to Shift-JIS: names there are ASCII.
bool encodeWithPlatform(const std::string&, std::string&)
{
    return false;
}

#else

bool encodeWithPlatform(const std::string& utf8, std::string& bytes)
{
    const iconv_t converter = iconv_open("CP932", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    std::string in = utf8;
    std::vector<char> out(in.size() * 2 + 4);  // a character of 1-4 UTF-8 bytes takes 1 or 2
    char* inAt = &in[0];
    std::size_t inLeft = in.size();
    char* outAt = out.data();
    std::size_t outLeft = out.size();
    const bool done = iconv(converter, &inAt, &inLeft, &outAt, &outLeft) != static_cast<std::size_t>(-1) && inLeft == 0;
    iconv_close(converter);
    if (done) {
        bytes.assign(out.data(), static_cast<std::size_t>(outAt - out.data()));
    }
    return done;
}

#endif

}  // namespace

bool encodeShiftJis(const std::string& utf8, std::string& bytes)
{
    if (isAscii(utf8)) {
        bytes = utf8;
        return true;
    }
    return encodeWithPlatform(utf8, bytes);
}
