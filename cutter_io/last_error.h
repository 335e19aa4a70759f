// The reason of the call that just failed: its error number, or EIO where
// it set none (a short fwrite on some C libraries, a stream error flag).
#ifndef CUTTER_IO_LAST_ERROR_H
#define CUTTER_IO_LAST_ERROR_H

#include <cerrno>

inline int lastError()
{
    return errno != 0 ? errno : EIO;
}

#endif
