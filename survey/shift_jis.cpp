#include "shift_jis.h"

#if defined(_WIN32)
#include <windows.h>
#elif defined(__EMSCRIPTEN__)
#include <emscripten.h>
#else
#include <iconv.h>
#endif

namespace {

bool isAscii(std::string_view bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

#ifdef _WIN32

bool decodeShiftJis(std::string_view bytes, std::string& utf8)
{
    if (isAscii(bytes)) {
        utf8.assign(bytes);
        return true;
    }
    constexpr UINT kShiftJis = 932;
    const int size = static_cast<int>(bytes.size());
    const int wide = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (wide <= 0) {
        return false;
    }
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, bytes.data(), size, &text[0], wide);
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return false;
    }
    utf8.assign(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, &utf8[0], length, nullptr, nullptr);
    return true;
}

#elif defined(__EMSCRIPTEN__)

// In the browser, its own decoder: the Shift_JIS of the web's encoding
// standard is code page 932. The UTF-8 length, or -1 when the bytes do not
// decode or it would not fit.
EM_JS(int, decodeInBrowser, (const char* bytes, int size, char* out, int capacity), {
    try {
        const text = new TextDecoder('shift_jis', {fatal: true}).decode(HEAPU8.subarray(bytes, bytes + size));
        return lengthBytesUTF8(text) < capacity ? stringToUTF8(text, out, capacity) : -1;
    } catch (error) {
        return -1;
    }
});

bool decodeShiftJis(std::string_view bytes, std::string& utf8)
{
    if (isAscii(bytes)) {
        utf8.assign(bytes);
        return true;
    }
    char out[4 * 64];
    const int length = decodeInBrowser(bytes.data(), static_cast<int>(bytes.size()), out, sizeof out);
    if (length < 0) {
        return false;
    }
    utf8.assign(out, static_cast<std::size_t>(length));
    return true;
}

#else

bool decodeShiftJis(std::string_view bytes, std::string& utf8)
{
    // ASCII is ASCII in code page 932: most names need no converter.
    if (isAscii(bytes)) {
        utf8.assign(bytes);
        return true;
    }
    // Opened once: opening loads the converter, which costs more than a name.
    static const iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return false;
    }
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::string in(bytes);
    char out[4 * 64];  // a UTF-8 character of the code page takes at most 3 bytes per byte
    if (bytes.size() > sizeof out / 4) {
        return false;
    }
    char* inAt = &in[0];
    std::size_t inLeft = in.size();
    char* outAt = out;
    std::size_t outLeft = sizeof out;
    if (iconv(converter, &inAt, &inLeft, &outAt, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
        return false;
    }
    utf8.assign(out, static_cast<std::size_t>(outAt - out));
    return true;
}

#endif
