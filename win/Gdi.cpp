#include "win/Gdi.h"

#include <wincodec.h>

#include <cstring>

#include "win/App.h"

namespace win {

int ImageList::AddIcon(HINSTANCE hInst, int nIconId, int cx, int cy) {
    HICON icon = static_cast<HICON>(::LoadImageA(hInst, MAKEINTRESOURCEA(nIconId), IMAGE_ICON, cx, cy, 0));
    if (!icon || !m_h) {
        if (icon) ::DestroyIcon(icon);
        return -1;
    }
    const int index = ::ImageList_ReplaceIcon(m_h, -1, icon);
    ::DestroyIcon(icon);  // the list keeps its own copy
    return index;
}

namespace {
// A "PNG" resource decoded by the system's imaging component into a 32-bit
// DIB section (wine's converter, unlike Windows', cannot make 24 bits of an
// indexed picture). Its alpha bytes are cleared: nothing here blends, and a
// static control given a picture with alpha keeps a copy that nobody frees.
Bitmap DecodePngResource(HINSTANCE hInst, int nId) {
    HRSRC res = ::FindResourceA(hInst, MAKEINTRESOURCEA(nId), "PNG");
    HGLOBAL data = res ? ::LoadResource(hInst, res) : nullptr;
    BYTE* bytes = data ? static_cast<BYTE*>(::LockResource(data)) : nullptr;
    if (!bytes || !EnsureCom()) return Bitmap();
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    UINT w = 0, h = 0;
    Bitmap bitmap;
    if (SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                     reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromMemory(bytes, ::SizeofResource(hInst, res))) &&
        SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&w, &h))) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), static_cast<LONG>(w), -static_cast<LONG>(h), 1, 32, BI_RGB,
                          0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        const UINT stride = w * 4;
        if (bitmap && FAILED(converter->CopyPixels(nullptr, stride, stride * h, static_cast<BYTE*>(bits)))) {
            bitmap.Reset();
        } else if (bitmap) {
            for (BYTE* alpha = static_cast<BYTE*>(bits) + 3; alpha < static_cast<BYTE*>(bits) + stride * h; alpha += 4)
                *alpha = 0;
        }
    }
    for (IUnknown* p : {static_cast<IUnknown*>(converter), static_cast<IUnknown*>(frame),
                        static_cast<IUnknown*>(decoder), static_cast<IUnknown*>(stream),
                        static_cast<IUnknown*>(factory)}) {
        if (p) p->Release();
    }
    return bitmap;
}
}  // namespace

std::vector<unsigned char> LoadCompressedDib(HINSTANCE hInst, int nId) {
    HRSRC res = ::FindResourceA(hInst, MAKEINTRESOURCEA(nId), "DIBZ");
    HGLOBAL data = res ? ::LoadResource(hInst, res) : nullptr;
    const BYTE* bytes = data ? static_cast<const BYTE*>(::LockResource(data)) : nullptr;
    const DWORD nBytes = res ? ::SizeofResource(hInst, res) : 0;
    // In ntdll since the first NT; no import library declares it.
    using Decompress = LONG(WINAPI*)(USHORT, PUCHAR, ULONG, PUCHAR, ULONG, PULONG);
    static const auto decompress = reinterpret_cast<Decompress>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "RtlDecompressBuffer")));
    if (!bytes || nBytes <= 4 || !decompress) return {};
    const ULONG nSize = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<ULONG>(bytes[3]) << 24;
    if (nSize < sizeof(BITMAPINFOHEADER) || nSize > (64u << 20)) return {};
    std::vector<unsigned char> dib(nSize);
    ULONG nGot = 0;
    if (decompress(COMPRESSION_FORMAT_LZNT1, dib.data(), nSize, const_cast<PUCHAR>(bytes + 4), nBytes - 4, &nGot) != 0 ||
        nGot != nSize)
        return {};
    return dib;
}

namespace {
// A DIB section holding a packed 24- or 32-bit DIB's pixels.
Bitmap DibSection(const std::vector<unsigned char>& dib) {
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
    const BITMAPINFOHEADER& head = info->bmiHeader;
    const size_t nOffset = head.biSize;
    const size_t nStride = ((static_cast<size_t>(head.biWidth) * head.biBitCount + 31) / 32) * 4;
    const size_t nPixels = nStride * static_cast<size_t>(head.biHeight < 0 ? -head.biHeight : head.biHeight);
    if (head.biCompression != BI_RGB || head.biBitCount < 24 || nOffset + nPixels > dib.size()) return Bitmap();
    void* bits = nullptr;
    Bitmap bitmap(::CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap) std::memcpy(bits, dib.data() + nOffset, nPixels);
    return bitmap;
}
}  // namespace

Bitmap LoadBitmapResource(HINSTANCE hInst, int nId) {
    Bitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageA(hInst, MAKEINTRESOURCEA(nId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (bitmap) return bitmap;
    const std::vector<unsigned char> dib = LoadCompressedDib(hInst, nId);
    return dib.empty() ? DecodePngResource(hInst, nId) : DibSection(dib);
}

}  // namespace win
