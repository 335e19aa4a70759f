#include "image_buffer.h"

unsigned char imageBuffer[kImageBufferSize];
