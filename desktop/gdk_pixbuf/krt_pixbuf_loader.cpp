// The gdk-pixbuf loader module: a screen file, or a pack's first screen, as
// an RGB pixbuf with the picture's colours. GTK viewers, file choosers and
// gdk-pixbuf-thumbnailer open screens through it. The module keeps no state
// between loads, so it is marked thread-safe.
#define GDK_PIXBUF_ENABLE_BACKEND
#include <gdk-pixbuf/gdk-pixbuf-io.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#undef GDK_PIXBUF_ENABLE_BACKEND

#include <cstdio>

#include "desktop_screens.h"

namespace {

using krt::desktop::PictureStatus;

// Files are held whole; a screen's offsets are 32-bit, so nothing longer
// can be one.
constexpr guint64 kLongestFile = UINT32_MAX;

GdkPixbuf* Fail(GError** error, GdkPixbufError code, const char* reason) {
  g_set_error(error, GDK_PIXBUF_ERROR, code, "Screen file: %s", reason);
  return nullptr;
}

// The picture of a screen file, or of a pack's first entry.
GdkPixbuf* Decode(const uint8_t* bytes, size_t length, GError** error) {
  krt::desktop::ScreenSlice first;
  if (krt::desktop::ListScreens(bytes, length, &first, 1) == 0) {
    return Fail(error, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, "no screen file, and no pack of them");
  }
  const uint8_t* screen = bytes + first.offset;
  krt::format::ScreenDescription measured;
  PictureStatus status = krt::desktop::Measure(screen, first.length, &measured);
  if (status != PictureStatus::kReady) {
    return Fail(error,
                status == PictureStatus::kTooLarge ? GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY
                                                   : GDK_PIXBUF_ERROR_CORRUPT_IMAGE,
                krt::desktop::Explain(status));
  }
  GdkPixbuf* pixbuf =
      gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, measured.width_px, measured.height_px);
  if (pixbuf == nullptr) {
    return Fail(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
                krt::desktop::Explain(PictureStatus::kOutOfMemory));
  }
  krt::desktop::PictureTarget target;
  target.rows = gdk_pixbuf_get_pixels(pixbuf);
  target.row_stride = size_t(gdk_pixbuf_get_rowstride(pixbuf));
  status = krt::desktop::Draw(screen, first.length, measured, target);
  if (status != PictureStatus::kReady) {
    g_object_unref(pixbuf);
    return Fail(error, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, krt::desktop::Explain(status));
  }
  return pixbuf;
}

bool Append(GByteArray* bytes, const guchar* more, guint size, GError** error) {
  if (guint64{bytes->len} + size > kLongestFile) {
    Fail(error, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, "the file is longer than a screen or pack can be");
    return false;
  }
  g_byte_array_append(bytes, more, size);
  return true;
}

GdkPixbuf* LoadWhole(FILE* file, GError** error) {
  GByteArray* bytes = g_byte_array_new();
  guchar chunk[65536];
  bool ok = true;
  size_t got = 0;
  while (ok && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    ok = Append(bytes, chunk, guint(got), error);
  }
  if (ok && std::ferror(file) != 0) {
    ok = false;
    g_set_error(error, G_FILE_ERROR, G_FILE_ERROR_IO, "Screen file: the file could not be read");
  }
  GdkPixbuf* pixbuf = ok ? Decode(bytes->data, bytes->len, error) : nullptr;
  g_byte_array_unref(bytes);
  return pixbuf;
}

// Incremental loading gathers the bytes and draws once they are all there:
// a screen's sections may come in any order, so nothing can be drawn early.
struct IncrementalLoad {
  GdkPixbufModuleSizeFunc size_func;
  GdkPixbufModulePreparedFunc prepared_func;
  GdkPixbufModuleUpdatedFunc updated_func;
  gpointer user_data;
  GByteArray* bytes;
};

gpointer BeginLoad(GdkPixbufModuleSizeFunc size_func, GdkPixbufModulePreparedFunc prepared_func,
                   GdkPixbufModuleUpdatedFunc updated_func, gpointer user_data,
                   GError** /*error*/) {
  auto* load = g_new0(IncrementalLoad, 1);
  *load = IncrementalLoad{size_func, prepared_func, updated_func, user_data, g_byte_array_new()};
  return load;
}

gboolean LoadIncrement(gpointer context, const guchar* buffer, guint size, GError** error) {
  auto* load = static_cast<IncrementalLoad*>(context);
  return Append(load->bytes, buffer, size, error) ? TRUE : FALSE;
}

gboolean StopLoad(gpointer context, GError** error) {
  auto* load = static_cast<IncrementalLoad*>(context);
  GdkPixbuf* pixbuf = Decode(load->bytes->data, load->bytes->len, error);
  bool wanted = pixbuf != nullptr;
  if (wanted && load->size_func != nullptr) {
    // The caller may ask for no picture at all by answering a zero size.
    int width = gdk_pixbuf_get_width(pixbuf);
    int height = gdk_pixbuf_get_height(pixbuf);
    load->size_func(&width, &height, load->user_data);
    wanted = width != 0 && height != 0;
  }
  if (wanted) {
    if (load->prepared_func != nullptr) load->prepared_func(pixbuf, nullptr, load->user_data);
    if (load->updated_func != nullptr) {
      load->updated_func(pixbuf, 0, 0, gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf),
                         load->user_data);
    }
  }
  const gboolean loaded = pixbuf != nullptr ? TRUE : FALSE;
  if (pixbuf != nullptr) g_object_unref(pixbuf);
  g_byte_array_unref(load->bytes);
  g_free(load);
  return loaded;
}

// What the loaders cache records. The content type the MIME database gives
// a file chooses the loader, so the types must be those of krt-screens.xml;
// the signatures serve where no MIME database is consulted.
GdkPixbufModulePattern kSignatures[] = {
    {const_cast<char*>("SEGA SATURN SCR"), nullptr, 100},
    {const_cast<char*>("....SEGA SATURN SCR"), const_cast<char*>("xxxx               "), 80},
    {nullptr, nullptr, 0}};
gchar* kMimeTypes[] = {const_cast<gchar*>("image/x-krt-screen"),
                       const_cast<gchar*>("image/x-krt-screen-pack"), nullptr};
gchar* kExtensions[] = {const_cast<gchar*>("2d"), const_cast<gchar*>("s2d"),
                        const_cast<gchar*>("bin"), nullptr};

}  // namespace

extern "C" {

G_MODULE_EXPORT void fill_vtable(GdkPixbufModule* module) {
  module->load = LoadWhole;
  module->begin_load = BeginLoad;
  module->load_increment = LoadIncrement;
  module->stop_load = StopLoad;
}

G_MODULE_EXPORT void fill_info(GdkPixbufFormat* info) {
  info->name = const_cast<gchar*>("krt-screen");
  info->signature = kSignatures;
  info->description = const_cast<gchar*>("Saturn background screen");
  info->mime_types = kMimeTypes;
  info->extensions = kExtensions;
  info->flags = GDK_PIXBUF_FORMAT_THREADSAFE;
  info->license = const_cast<gchar*>("MIT");
}

}  // extern "C"
