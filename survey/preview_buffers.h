// The previews' buffers of kImageBufferSize bytes, kept on their thread
// from one survey to the next. A caller of the library that surveys one
// image per call (a binding over a collection) would otherwise get
// megabytes fresh from the system on each call and fault every page of
// them in: about as much time again as the survey of a small image.
#ifndef SURVEY_PREVIEW_BUFFERS_H
#define SURVEY_PREVIEW_BUFFERS_H

#include <memory>

using PreviewBuffer = std::unique_ptr<unsigned char[]>;

// A buffer kept on this thread, else a new one; its bytes are whatever the
// last user left (the cutters clear what they use).
PreviewBuffer takePreviewBuffer();

// Keeps buffer for the next survey on this thread (a few at most; the rest
// are freed).
void givePreviewBuffer(PreviewBuffer buffer);

#endif
