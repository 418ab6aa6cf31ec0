// The snapshot of the off-screen bitmap: the whole 601 x 540 picture the
// program drew, as a PNG, for automated checks of a program's output.
#include "kivet/snapshot.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kivet/state.h"

namespace kivet {

static cairo_status_t write_to_file(void* file, const unsigned char* data, unsigned int length) {
  bool written = fwrite(data, 1, length, static_cast<FILE*>(file)) == length;
  return written ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

// Writes the PNG; on failure returns the reason.
static const char* write_png(cairo_surface_t* bitmap, const char* path) {
  FILE* file = fopen(path, "wb");
  if (!file) return strerror(errno);
  cairo_surface_flush(bitmap);
  cairo_status_t status = cairo_surface_write_to_png_stream(bitmap, write_to_file, file);
  int saved_errno = errno;
  bool closed = fclose(file) == 0;
  if (status != CAIRO_STATUS_SUCCESS) {
    return status == CAIRO_STATUS_WRITE_ERROR ? strerror(saved_errno)
                                              : cairo_status_to_string(status);
  }
  return closed ? nullptr : strerror(errno);
}

void write_requested_snapshot() {
  const char* path = getenv("KIVET_SNAPSHOT");
  if (!path || !*path || !offscreen_bitmap) return;
  if (const char* reason = write_png(offscreen_bitmap, path)) {
    fprintf(stderr, "kivet: cannot write the snapshot to %s: %s\n", path, reason);
  }
}

}  // namespace kivet
