#include "window_driver.h"

#include <cstdlib>
#include <fstream>
#include <vector>

namespace varnel::test {

namespace {

// The one driven window of the test thread: timer procedures carry no
// context of their own.
std::function<void(HWND)> pendingDrive;

void CALLBACK onShownTimer(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    auto drive = std::move(pendingDrive);
    pendingDrive = nullptr;
    if (drive) drive(window);
}

}  // namespace

INT_PTR runDriven(win32::ModalDialog& dialog, std::function<void(HWND)> drive) {
    pendingDrive = std::move(drive);
    dialog.whenShown = [](win32::ModalDialog& d) {
        // A timer message comes after the window has been shown and painted.
        SetTimer(d.window(), 0x7E57, 150, onShownTimer);
    };
    return dialog.run(nullptr);
}

void postClick(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void captureWindow(HWND window, const std::string& name) {
    const char* dir = std::getenv("VARNEL_SCREENSHOT_DIR");
    if (!dir || !*dir) return;
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(std::string(dir) + "/" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

}  // namespace varnel::test
