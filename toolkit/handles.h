// Move-only owners of Win32 handles and scope objects for paired calls.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace velmora::toolkit {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct KernelHandleDeleter {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct MenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct CreatedDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

template <typename Handle, typename Deleter>
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<Handle>, Deleter>;

using FontHandle = UniqueHandle<HFONT, GdiObjectDeleter>;
using BrushHandle = UniqueHandle<HBRUSH, GdiObjectDeleter>;
using BitmapHandle = UniqueHandle<HBITMAP, GdiObjectDeleter>;
using MenuHandle = UniqueHandle<HMENU, MenuDeleter>;
using PenHandle = UniqueHandle<HPEN, GdiObjectDeleter>;
using CreatedDc = UniqueHandle<HDC, CreatedDcDeleter>;
using KernelHandle = UniqueHandle<HANDLE, KernelHandleDeleter>;

class PaintScope {
public:
    explicit PaintScope(HWND window) : m_window(window) { m_dc = BeginPaint(window, &m_paint); }
    ~PaintScope() { EndPaint(m_window, &m_paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Dc() const { return m_dc; }
    const RECT& Area() const { return m_paint.rcPaint; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// Selects an object into a DC and puts the previous one back at scope end.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~SelectScope() { SelectObject(m_dc, m_previous); }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace velmora::toolkit
