// The ways of taking files by the keys the C API names them with: the
// library's one table of them, read through.
#ifndef C_API_CUTTERS_H
#define C_API_CUTTERS_H

#include "cutter.h"

// The way of key: "auto" gives null (the one chosenCutter finds for the
// images), a way's key that way. False for any other key.
bool cutterOfKey(const char* key, const Cutter*& cutter);

#endif
