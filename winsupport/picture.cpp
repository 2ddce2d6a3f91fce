// Decoding pictures with the Windows Imaging Component into top-down DIB sections, scaled
// once to the screen's resolution.
#include "winsupport/picture.h"

#include <wincodec.h>

namespace winsupport {
namespace {

constexpr UINT kMaxSide = 16384;

bool SizeOk(UINT width, UINT height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide;
}

}  // namespace

UniqueBitmap TopDownDib(int width, int height, void** bits) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  *bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0));
  if (*bits == nullptr) bitmap.reset();
  return bitmap;
}

Picture DecodePicture(const void* data, std::size_t size, int dpiX, int dpiY) {
  if (data == nullptr || size == 0 || size > 0xFFFFFFFFu) return {};
  ComScope com;  // first, so every COM object below is released before COM is left
  ComPtr<IWICImagingFactory> factory;
  // The first factory, the one XP SP3 has: newer headers may give its plain name to the
  // Windows 8 factory, which older systems do not know.
  if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Put())))) {
    return {};
  }
  ComPtr<IWICStream> stream;
  if (FAILED(factory->CreateStream(stream.Put()))) return {};
  // WIC only reads the bytes; its signature merely lacks the const.
  if (FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)),
                                          static_cast<DWORD>(size)))) {
    return {};
  }
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              decoder.Put()))) {
    return {};
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, frame.Put()))) return {};
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(converter.Put())) ||
      FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR,
                                   WICBitmapDitherTypeNone, nullptr, 0.0,
                                   WICBitmapPaletteTypeCustom))) {
    return {};
  }
  UINT width = 0;
  UINT height = 0;
  if (FAILED(converter->GetSize(&width, &height)) || !SizeOk(width, height)) return {};

  // At any other resolution the picture is resampled here, once, so that it keeps its size
  // in twips like the window it paints and the hot spots laid over it; painting stays a
  // plain copy. At 96 dpi nothing comes between the decoder and the copy. Should scaling
  // fail, the picture at its own size still beats none.
  IWICBitmapSource* source = converter.get();
  ComPtr<IWICBitmapScaler> scaler;
  UINT scaledWidth = static_cast<UINT>(ScaledPictureSize(static_cast<int>(width), dpiX));
  UINT scaledHeight = static_cast<UINT>(ScaledPictureSize(static_cast<int>(height), dpiY));
  if ((scaledWidth != width || scaledHeight != height) && SizeOk(scaledWidth, scaledHeight) &&
      SUCCEEDED(factory->CreateBitmapScaler(scaler.Put())) &&
      SUCCEEDED(scaler->Initialize(converter.get(), scaledWidth, scaledHeight,
                                   WICBitmapInterpolationModeFant))) {
    source = scaler.get();
    width = scaledWidth;
    height = scaledHeight;
  }

  void* bits = nullptr;
  UniqueBitmap bitmap = TopDownDib(static_cast<int>(width), static_cast<int>(height), &bits);
  if (!bitmap) return {};
  UINT stride = width * 4;
  if (FAILED(source->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
    return {};
  }
  ::GdiFlush();
  return Picture{std::move(bitmap), static_cast<int>(width), static_cast<int>(height)};
}

Picture LoadPictureResource(int id, int dpiX, int dpiY) {
  if (id == 0) return {};
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (found == nullptr) return {};
  HGLOBAL loaded = ::LoadResource(module, found);
  if (loaded == nullptr) return {};
  // Resources stay mapped with the module: nothing to free.
  return DecodePicture(::LockResource(loaded), ::SizeofResource(module, found), dpiX, dpiY);
}

}  // namespace winsupport
