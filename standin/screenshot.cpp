#include "standin/screenshot.h"

#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

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
std::vector<BYTE> grab_screen(int width, int height)
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

}  // namespace

void save_screen_png(const std::wstring& path)
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0)
        throw std::runtime_error("screenshot: the screen has no size");
    std::vector<BYTE> rows = grab_screen(width, height);

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
    check(frame->WritePixels(height, width * 4, static_cast<UINT>(rows.size()), rows.data()), "writing the pixels");
    check(frame->Commit(), "finishing the frame");
    check(encoder->Commit(), "finishing the file");
}

}  // namespace standin
