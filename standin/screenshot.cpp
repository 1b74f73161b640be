#include "standin/screenshot.h"

#include "standin/module_windows.h"
#include "standin/text_codec.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace standin {

namespace {

using Microsoft::WRL::ComPtr;

void check(HRESULT result, const char* step)
{
    if (FAILED(result))
        throw std::runtime_error(std::string("screenshot: ") + step + " failed");
}

// Top-down 32-bit BGRA rows of the screen.
std::vector<BYTE> grab_rows(int width, int height)
{
    HDC screen = GetDC(nullptr);
    std::unique_ptr<HDC__, void (*)(HDC)> screen_owner(screen, [](HDC dc) { ReleaseDC(nullptr, dc); });
    std::unique_ptr<HDC__, decltype(&DeleteDC)> memory(CreateCompatibleDC(screen), &DeleteDC);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !memory)
        throw std::runtime_error("screenshot: cannot make a bitmap of the screen's size");
    std::unique_ptr<HBITMAP__, void (*)(HBITMAP)> bitmap_owner(bitmap, [](HBITMAP b) { DeleteObject(b); });
    HGDIOBJ old = SelectObject(memory.get(), bitmap);
    BOOL copied = BitBlt(memory.get(), 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    SelectObject(memory.get(), old);
    if (!copied)
        throw std::runtime_error("screenshot: cannot copy the screen");
    GdiFlush();
    auto* pixels = static_cast<BYTE*>(bits);
    std::vector<BYTE> rows(pixels, pixels + size_t(width) * height * 4);
    for (size_t i = 3; i < rows.size(); i += 4)
        rows[i] = 255;
    return rows;
}

// Visits each BGRA pixel of the area that lies inside the picture.
template <class Visit>
void for_each_pixel(const ScreenPixels& pixels, RECT area, Visit visit)
{
    RECT whole{0, 0, pixels.width, pixels.height};
    RECT inside{};
    if (!IntersectRect(&inside, &area, &whole))
        return;
    for (LONG y = inside.top; y < inside.bottom; ++y) {
        const BYTE* row = pixels.bgra.data() + (size_t(y) * pixels.width + inside.left) * 4;
        for (LONG x = inside.left; x < inside.right; ++x, row += 4)
            visit(row);
    }
}

}  // namespace

ScreenPixels grab_screen()
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0)
        throw std::runtime_error("screenshot: the screen has no size");
    return {width, height, grab_rows(width, height)};
}

void save_screen_png(const std::wstring& path)
{
    save_png(grab_screen(), path);
}

bool shows_one_colour(const ScreenPixels& pixels, RECT area)
{
    const BYTE* first = nullptr;
    bool one = true;
    for_each_pixel(pixels, area, [&](const BYTE* pixel) {
        if (!first)
            first = pixel;
        else if (one && std::memcmp(first, pixel, 3) != 0)
            one = false;
    });
    return one;
}

std::string theme_of(const ScreenPixels& pixels, RECT area)
{
    double luminance = 0;
    size_t count = 0;
    for_each_pixel(pixels, area, [&](const BYTE* pixel) {
        luminance += 0.0722 * pixel[0] + 0.7152 * pixel[1] + 0.2126 * pixel[2];
        ++count;
    });
    return count > 0 && luminance / double(count) >= 127.5 ? "light" : "dark";
}

ScreenshotRecord describe_screenshot(const ScreenPixels& pixels, HWND window)
{
    ScreenshotRecord record;
    RECT whole{0, 0, pixels.width, pixels.height};
    RECT area = whole;
    if (window) {
        record.window = to_utf8(window_title(window));
        GetWindowRect(window, &area);
    }
    record.theme = theme_of(pixels, area);
    record.one_colour = shows_one_colour(pixels, whole);
    record.window_one_colour = !record.window.empty() && shows_one_colour(pixels, area);
    return record;
}

void save_png(const ScreenPixels& pixels, const std::wstring& path)
{
    const int width = pixels.width;
    const int height = pixels.height;
    const std::vector<BYTE>& rows = pixels.bgra;

    ComPtr<IWICImagingFactory> factory;
    check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)),
          "creating the imaging factory");
    ComPtr<IWICStream> stream;
    check(factory->CreateStream(&stream), "creating the stream");
    check(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE), "opening the file");
    ComPtr<IWICBitmapEncoder> encoder;
    check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder), "creating the encoder");
    check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), "starting the encoder");
    ComPtr<IWICBitmapFrameEncode> frame;
    check(encoder->CreateNewFrame(&frame, nullptr), "creating the frame");
    check(frame->Initialize(nullptr), "starting the frame");
    check(frame->SetSize(width, height), "sizing the frame");
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    check(frame->SetPixelFormat(&format), "setting the pixel format");
    if (format != GUID_WICPixelFormat32bppBGRA)
        throw std::runtime_error("screenshot: the encoder refuses 32-bit BGRA");
    check(frame->WritePixels(height, width * 4, static_cast<UINT>(rows.size()), const_cast<BYTE*>(rows.data())),
          "writing the pixels");
    check(frame->Commit(), "finishing the frame");
    check(encoder->Commit(), "finishing the file");
}

}  // namespace standin
