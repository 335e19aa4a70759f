#include <d88image/d88image.h>

int readU16le(const unsigned char* bytes)
{
    return (bytes[1] << 8) + bytes[0];
}

std::uint32_t readU32le(const unsigned char* bytes)
{
    return (std::uint32_t{bytes[3]} << 24) + (std::uint32_t{bytes[2]} << 16) +
           (std::uint32_t{bytes[1]} << 8) + std::uint32_t{bytes[0]};
}
