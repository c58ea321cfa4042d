// Owners for GDI objects, device contexts, selections, icons and image lists,
// so that "created for this drawing and deleted after it" is a scope. Every
// owner is non-copyable; the object goes when the owner does.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>
#include <vector>

namespace win {

// An owned GDI object (font, brush, pen, bitmap, region).
template <typename H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H h) : m_h(h) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : m_h(std::exchange(other.m_h, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            m_h = std::exchange(other.m_h, nullptr);
        }
        return *this;
    }
    void Reset(H h = nullptr) {
        if (m_h) ::DeleteObject(m_h);
        m_h = h;
    }
    H Get() const { return m_h; }
    operator H() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }

private:
    H m_h = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;
using Bitmap = GdiObject<HBITMAP>;
using Region = GdiObject<HRGN>;

// Selects an object into a DC for the scope and selects the previous one back.
class SelectObjectScope {
public:
    SelectObjectScope(HDC hdc, HGDIOBJ obj) : m_hdc(hdc), m_old(obj ? ::SelectObject(hdc, obj) : nullptr) {}
    ~SelectObjectScope() {
        if (m_old) ::SelectObject(m_hdc, m_old);
    }
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_old;
};

// GetDC / ReleaseDC of a window.
class WindowDC {
public:
    explicit WindowDC(HWND hWnd) : m_hWnd(hWnd), m_hdc(::GetDC(hWnd)) {}
    ~WindowDC() {
        if (m_hdc) ::ReleaseDC(m_hWnd, m_hdc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    operator HDC() const { return m_hdc; }

private:
    HWND m_hWnd;
    HDC m_hdc;
};

// BeginPaint / EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hdc = ::BeginPaint(hWnd, &m_ps); }
    ~PaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    operator HDC() const { return m_hdc; }
    const PAINTSTRUCT& Info() const { return m_ps; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
    HDC m_hdc;
};

// A memory DC compatible with another DC.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : m_hdc(::CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (m_hdc) ::DeleteDC(m_hdc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    operator HDC() const { return m_hdc; }

private:
    HDC m_hdc;
};

// An owned icon (for icons made or loaded with LoadImage without LR_SHARED).
class Icon {
public:
    Icon() = default;
    explicit Icon(HICON h) : m_h(h) {}
    ~Icon() { Reset(); }
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;
    void Reset(HICON h = nullptr) {
        if (m_h) ::DestroyIcon(m_h);
        m_h = h;
    }
    HICON Get() const { return m_h; }
    operator HICON() const { return m_h; }

private:
    HICON m_h = nullptr;
};

// An owned image list.
class ImageList {
public:
    ImageList() = default;
    ~ImageList() { Reset(); }
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    bool Create(int cx, int cy, UINT flags, int initial, int grow) {
        Reset(::ImageList_Create(cx, cy, flags, initial, grow));
        return m_h != nullptr;
    }
    // Adds an icon resource; returns its index or -1.
    int AddIcon(HINSTANCE hInst, int nIconId, int cx, int cy);
    void Reset(HIMAGELIST h = nullptr) {
        if (m_h) ::ImageList_Destroy(m_h);
        m_h = h;
    }
    HIMAGELIST Get() const { return m_h; }
    operator HIMAGELIST() const { return m_h; }

private:
    HIMAGELIST m_h = nullptr;
};

// A resource of type "DIBZ": a packed DIB (header, colours, pixels) after its
// size as 4 bytes, compressed with LZNT1 (tools/make_art.py writes it); the
// system inflates it, far quicker than the imaging component decodes a PNG.
// Empty when there is none or it does not inflate to its size.
std::vector<unsigned char> LoadCompressedDib(HINSTANCE hInst, int nId);

// Loads a picture resource as an owned DIB section: a BITMAP resource, a
// "DIBZ" one inflated, or one of type "PNG", decoded (null when none loads).
Bitmap LoadBitmapResource(HINSTANCE hInst, int nId);

}  // namespace win
