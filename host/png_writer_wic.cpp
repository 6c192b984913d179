// EncodePng for Windows, through the Windows Imaging Component that every
// Windows since Vista has (and Wine too): the same pictures as the libpng
// writer of the other builds, 4- and 8-bit bitmaps as indexed PNGs whose
// palette is the colour table, 24-bit ones as RGB PNGs.
#include <windows.h>
#include <wincodec.h>

#include <cstdio>
#include <vector>

#include "png_writer.h"

namespace krt::host {
namespace {

// Holds one COM interface and releases it.
template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  Interface* operator->() const { return pointer_; }
  Interface* get() const { return pointer_; }
  Interface** out() { return &pointer_; }
  void** out_void() { return reinterpret_cast<void**>(&pointer_); }

 private:
  Interface* pointer_ = nullptr;
};

// COM on the calling thread while one picture is encoded. A thread that
// already uses COM in the other threading model can still create the
// imaging component, which is free-threaded.
class ComUse {
 public:
  ComUse() : started_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ComUse(const ComUse&) = delete;
  ComUse& operator=(const ComUse&) = delete;
  ~ComUse() {
    if (SUCCEEDED(started_)) CoUninitialize();
  }
  HRESULT Result() const { return started_ == RPC_E_CHANGED_MODE ? S_OK : started_; }

 private:
  HRESULT started_;
};

std::string Failure(const char* step, HRESULT result) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
  return std::string("the PNG encoder failed to ") + step + " (error " + code + ")";
}

WICPixelFormatGUID PixelFormatOf(const Bitmap& bitmap) {
  switch (bitmap.depth) {
    case 4:
      return GUID_WICPixelFormat4bppIndexed;
    case 8:
      return GUID_WICPixelFormat8bppIndexed;
    default:
      return GUID_WICPixelFormat24bppBGR;  // the bitmap's dots are blue, green, red
  }
}

// The colour table as the imaging component's colours: alpha, red, green,
// blue, opaque.
std::vector<WICColor> PaletteOf(const Bitmap& bitmap) {
  std::vector<WICColor> colours(bitmap.palette_entries);
  for (uint32_t k = 0; k < bitmap.palette_entries; ++k) {
    const uint8_t* slot = bitmap.ColourSlot(k);
    colours[k] = 0xFF000000u | uint32_t{slot[2]} << 16 | uint32_t{slot[1]} << 8 | slot[0];
  }
  return colours;
}

// One PNG frame of the bitmap, written to `stream`.
bool EncodeTo(IWICImagingFactory* factory, const Bitmap& bitmap, IStream* stream,
              std::string* error) {
  ComRef<IWICBitmapEncoder> encoder;
  ComRef<IWICBitmapFrameEncode> frame;
  ComRef<IPropertyBag2> options;
  HRESULT result = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out());
  if (SUCCEEDED(result)) result = encoder->Initialize(stream, WICBitmapEncoderNoCache);
  if (SUCCEEDED(result)) result = encoder->CreateNewFrame(frame.out(), options.out());
  if (SUCCEEDED(result)) result = frame->Initialize(options.get());
  if (SUCCEEDED(result)) result = frame->SetSize(bitmap.width, bitmap.rows);
  if (FAILED(result)) {
    *error = Failure("start a picture", result);
    return false;
  }

  const WICPixelFormatGUID wanted = PixelFormatOf(bitmap);
  WICPixelFormatGUID format = wanted;
  result = frame->SetPixelFormat(&format);
  if (FAILED(result) || !IsEqualGUID(format, wanted)) {
    // The encoder offers another format instead: converting would change
    // the dot values, so the picture is not written.
    *error = "the PNG encoder of this Windows cannot write " + std::to_string(bitmap.depth) +
             "-bit pictures; use --format bmp";
    return false;
  }
  if (bitmap.depth != 24) {
    const std::vector<WICColor> colours = PaletteOf(bitmap);
    ComRef<IWICPalette> palette;
    result = factory->CreatePalette(palette.out());
    if (SUCCEEDED(result)) {
      result = palette->InitializeCustom(const_cast<WICColor*>(colours.data()),
                                         static_cast<UINT>(colours.size()));
    }
    if (SUCCEEDED(result)) result = frame->SetPalette(palette.get());
    if (FAILED(result)) {
      *error = Failure("set the palette", result);
      return false;
    }
  }
  // Top row first, one row at a time, since the bitmap may be stored bottom
  // up.
  for (uint32_t r = 0; r < bitmap.rows && SUCCEEDED(result); ++r) {
    result = frame->WritePixels(1, bitmap.stride, bitmap.stride,
                                const_cast<BYTE*>(bitmap.Row(r)));
  }
  if (SUCCEEDED(result)) result = frame->Commit();
  if (SUCCEEDED(result)) result = encoder->Commit();
  if (FAILED(result)) {
    *error = Failure("write the picture", result);
    return false;
  }
  return true;
}

// The whole content of a memory stream.
bool ReadBack(IStream* stream, std::vector<uint8_t>* bytes, std::string* error) {
  STATSTG status{};
  HRESULT result = stream->Stat(&status, STATFLAG_NONAME);
  if (SUCCEEDED(result) && status.cbSize.QuadPart > 0x7FFFFFFFu) result = E_OUTOFMEMORY;
  if (SUCCEEDED(result)) {
    bytes->assign(static_cast<size_t>(status.cbSize.QuadPart), 0);
    result = stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
  }
  ULONG read = 0;
  if (SUCCEEDED(result)) {
    result = stream->Read(bytes->data(), static_cast<ULONG>(bytes->size()), &read);
  }
  if (SUCCEEDED(result) && read != bytes->size()) result = E_FAIL;
  if (FAILED(result)) {
    *error = Failure("hand over the file", result);
    return false;
  }
  return true;
}

}  // namespace

bool EncodePng(const Bitmap& bitmap, std::vector<uint8_t>* bytes, std::string* error) {
  const ComUse com;
  if (FAILED(com.Result())) {
    *error = Failure("start COM", com.Result());
    return false;
  }
  ComRef<IWICImagingFactory> factory;
  HRESULT result = CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWICImagingFactory, factory.out_void());
  if (FAILED(result)) {
    *error = Failure("start the imaging component", result);
    return false;
  }
  ComRef<IStream> stream;
  result = CreateStreamOnHGlobal(nullptr, TRUE, stream.out());
  if (FAILED(result)) {
    *error = Failure("make a memory stream", result);
    return false;
  }
  return EncodeTo(factory.get(), bitmap, stream.get(), error) &&
         ReadBack(stream.get(), bytes, error);
}

}  // namespace krt::host
