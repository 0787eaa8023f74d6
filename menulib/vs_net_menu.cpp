// VsNetMenu's public face: properties with their defaults, the icon registry and persistence,
// and the stored form of pictures.
#include "menulib/vs_net_menu.h"

#include <cstring>

#include "menulib/menu_control.h"
#include "menulib/persistence.h"

namespace ostrel {

namespace {

constexpr int kMaxStoredSide = 4096;

bool LowColorDisplay() {
    HDC screen = GetDC(nullptr);
    const bool low = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES) <= 8;
    ReleaseDC(nullptr, screen);
    return low;
}

MenuProps DefaultProps(const FontSpec& containerFont) {
    SystemMenuPalette palette;
    palette.window = GetSysColor(COLOR_WINDOW);
    palette.highlight = GetSysColor(COLOR_HIGHLIGHT);
    palette.buttonFace = GetSysColor(COLOR_BTNFACE);
    palette.menuBar = GetSysColor(COLOR_MENUBAR);
    BOOL flat = FALSE;
    palette.flatMenus = SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0) && flat;
    MenuProps defaults;
    defaults.colors = DefaultMenuColors(palette, LowColorDisplay());
    defaults.font = containerFont;
    return defaults;
}

// A bitmap as a BITMAPINFOHEADER, its colour table and its rows: 32 bits, or 1 bit for masks.
std::vector<uint8_t> EncodeDib(HBITMAP bitmap, int bitCount) {
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) return {};
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } head{};
    head.header = {sizeof(BITMAPINFOHEADER), info.bmWidth, info.bmHeight, 1, static_cast<WORD>(bitCount), BI_RGB};
    const size_t stride = ((static_cast<size_t>(info.bmWidth) * bitCount + 31) / 32) * 4;
    const size_t tableBytes = bitCount == 1 ? 2 * sizeof(RGBQUAD) : 0;
    std::vector<uint8_t> pixels(stride * info.bmHeight);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), reinterpret_cast<BITMAPINFO*>(&head),
                               DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight) return {};
    std::vector<uint8_t> bytes(sizeof(BITMAPINFOHEADER) + tableBytes);
    std::memcpy(bytes.data(), &head, bytes.size());
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}

HBITMAP DecodeDib(const std::vector<uint8_t>& bytes) {
    BITMAPINFOHEADER header{};
    if (bytes.size() < sizeof header) return nullptr;
    std::memcpy(&header, bytes.data(), sizeof header);
    const int bitCount = header.biBitCount;
    if (header.biSize != sizeof header || (bitCount != 1 && bitCount != 32) || header.biWidth <= 0 ||
        header.biHeight <= 0 || header.biWidth > kMaxStoredSide || header.biHeight > kMaxStoredSide)
        return nullptr;
    const size_t tableBytes = bitCount == 1 ? 2 * sizeof(RGBQUAD) : 0;
    const size_t stride = ((static_cast<size_t>(header.biWidth) * bitCount + 31) / 32) * 4;
    if (bytes.size() < sizeof header + tableBytes + stride * header.biHeight) return nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = bitCount == 1 ? CreateBitmap(header.biWidth, header.biHeight, 1, 1, nullptr)
                                   : CreateCompatibleBitmap(screen, header.biWidth, header.biHeight);
    if (bitmap) {
        SetDIBits(screen, bitmap, 0, header.biHeight, bytes.data() + sizeof header + tableBytes,
                  reinterpret_cast<const BITMAPINFO*>(bytes.data()), DIB_RGB_COLORS);
    }
    ReleaseDC(nullptr, screen);
    return bitmap;
}

}  // namespace

StoredPicture StorePicture(const Picture& picture) {
    StoredPicture stored;
    if (picture.Type() == PictureType::Bitmap) {
        stored.color = EncodeDib(picture.Bitmap(), 32);
        if (!stored.color.empty()) stored.kind = StoredPicture::Kind::Bitmap;
    } else if (picture.Type() == PictureType::Icon) {
        ICONINFO info{};
        if (!GetIconInfo(picture.Icon(), &info)) return stored;
        stored.color = EncodeDib(info.hbmColor, 32);
        stored.mask = EncodeDib(info.hbmMask, 1);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (!stored.color.empty() && !stored.mask.empty()) stored.kind = StoredPicture::Kind::Icon;
    }
    return stored;
}

Picture RestorePicture(const StoredPicture& stored) {
    if (stored.kind == StoredPicture::Kind::Bitmap) return Picture::FromBitmap(DecodeDib(stored.color));
    if (stored.kind != StoredPicture::Kind::Icon) return {};
    HBITMAP color = DecodeDib(stored.color);
    HBITMAP mask = DecodeDib(stored.mask);
    Picture picture;
    if (color && mask) {
        ICONINFO info{TRUE, 0, 0, mask, color};
        picture = Picture::FromIcon(CreateIconIndirect(&info));
    }
    if (color) DeleteObject(color);
    if (mask) DeleteObject(mask);
    return picture;
}

VsNetMenu::VsNetMenu() : m_impl(std::make_unique<Impl>()) { m_impl->props = DefaultProps(FontSpec{}); }
VsNetMenu::~VsNetMenu() = default;

bool VsNetMenu::Init(HWND host) { return m_impl->Init(host); }
HWND VsNetMenu::Host() const { return m_impl->host; }

const MenuColors& VsNetMenu::Colors() const { return m_impl->props.colors; }
void VsNetMenu::SetColor(OleColor MenuColors::*which, OleColor value) {
    m_impl->props.colors.*which = IsSystemColor(value) ? GetSysColor(SystemColorIndex(value)) & 0xFFFFFF : value;
    m_impl->MarkChanged();
}

bool VsNetMenu::UseOffice2003Style() const { return m_impl->props.useOffice2003Style; }
void VsNetMenu::SetUseOffice2003Style(bool on) {
    m_impl->props.useOffice2003Style = on;
    if (m_impl->host && m_impl->menuBar) DrawMenuBar(m_impl->host);
    m_impl->MarkChanged();
}

bool VsNetMenu::SelectDisabled() const { return m_impl->props.selectDisabled; }
void VsNetMenu::SetSelectDisabled(bool on) {
    m_impl->props.selectDisabled = on;
    m_impl->MarkChanged();
}

int VsNetMenu::BitmapSize() const { return m_impl->props.bitmapSize; }
void VsNetMenu::SetBitmapSize(int pixels) {
    m_impl->props.bitmapSize = pixels;
    m_impl->Recompute();
    m_impl->MarkChanged();
}

bool VsNetMenu::UseSystemFont() const { return m_impl->props.useSystemFont; }
void VsNetMenu::SetUseSystemFont(bool on) {
    m_impl->props.useSystemFont = on;
    if (!on) m_impl->RefreshControlFont();
    m_impl->MenuFont();
    m_impl->Recompute();
    m_impl->MarkChanged();
}

const FontSpec& VsNetMenu::Font() const { return m_impl->props.font; }
void VsNetMenu::SetFont(const FontSpec& font) {
    m_impl->props.font = font;
    m_impl->RefreshControlFont();
    m_impl->Recompute();
    m_impl->MarkChanged();
}

int VsNetMenu::IconColumnWidth() const { return m_impl->icw; }

void VsNetMenu::SetMenuControls(std::vector<MenuControlInfo> controls) { m_impl->menuControls = std::move(controls); }
const std::vector<MenuControlInfo>& VsNetMenu::MenuControls() const { return m_impl->menuControls; }

void VsNetMenu::SetBitmapByCaption(const std::wstring& name, const Picture& picture, OleColor mask) {
    const std::wstring key = L"#" + name;
    std::erase_if(m_impl->icons, [&](const MenuIcon& icon) { return icon.key == key; });
    if (picture) m_impl->icons.push_back({picture, mask, key});
    m_impl->MarkChanged();
}

void VsNetMenu::SetBitmap(const MenuControlInfo& menu, const Picture& picture, OleColor mask) {
    SetBitmapByCaption(IconKeyOf(menu.name, menu.index).substr(1), picture, mask);
}

std::vector<MenuIcon> VsNetMenu::Icons() const { return m_impl->icons; }
void VsNetMenu::ReplaceIcons(std::vector<MenuIcon> icons) {
    m_impl->icons = std::move(icons);
    m_impl->MarkChanged();
}

const MenuIcon* VsNetMenu::IconForLabel(const std::wstring& label) const { return m_impl->IconForLabel(label); }

const MenuIcon* VsNetMenu::Impl::IconForLabel(const std::wstring& label) const {
    for (const MenuControlInfo& control : menuControls) {
        if (control.caption.substr(0, control.caption.find(L'\t')) != label) continue;
        const std::wstring key = IconKeyOf(control.name, control.index);
        for (const MenuIcon& icon : icons)
            if (icon.key == key) return &icon;
        return nullptr;
    }
    return nullptr;
}

bool VsNetMenu::Modified() const { return m_impl->modified; }
void VsNetMenu::ClearModified() { m_impl->modified = false; }

void VsNetMenu::WriteProperties(PropertyBag& bag, const FontSpec& containerFont) const {
    MenuProps stored = m_impl->props;
    stored.icons.clear();
    for (const MenuIcon& icon : m_impl->icons) stored.icons.push_back({StorePicture(icon.picture), icon.mask, icon.key});
    WriteMenuProps(stored, DefaultProps(containerFont), bag);
}

void VsNetMenu::ReadProperties(PropertyBag& bag, const FontSpec& containerFont) {
    MenuProps loaded = ReadMenuProps(bag, DefaultProps(containerFont));
    m_impl->icons.clear();
    for (const StoredIcon& icon : loaded.icons)
        m_impl->icons.push_back({RestorePicture(icon.picture), icon.mask, icon.key});
    loaded.icons.clear();
    m_impl->props = std::move(loaded);
    m_impl->RefreshControlFont();
    if (m_impl->host)
        m_impl->Init(m_impl->host);
    else
        m_impl->Recompute();
}

}  // namespace ostrel
