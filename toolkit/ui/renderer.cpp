#include "toolkit/ui/renderer.h"

#include <algorithm>
#include <cfloat>
#include <mutex>
#include <utility>

#include "toolkit/platform/qz_exception.h"
#include "toolkit/platform/text.h"
#include "toolkit/ui/image.h"

using Microsoft::WRL::ComPtr;

namespace qzsdk::ui {

namespace {

DWRITE_FONT_WEIGHT weight_of(uint32_t code)
{
    if (code == 1) return DWRITE_FONT_WEIGHT_LIGHT;
    if (code == 2) return DWRITE_FONT_WEIGHT_BOLD;
    return DWRITE_FONT_WEIGHT_NORMAL;
}

DWRITE_FONT_STYLE style_of(uint32_t code) { return code == 1 ? DWRITE_FONT_STYLE_ITALIC : DWRITE_FONT_STYLE_NORMAL; }

D2D1_COLOR_F d2d_color(const color& value) { return D2D1::ColorF(value.r, value.g, value.b, value.a); }

D2D1_RECT_F rect_f(float left, float top, float right, float bottom) { return D2D1::RectF(left, top, right, bottom); }

D2D1_RECT_F rect_f(const rect& area)
{
    return rect_f(float(area.x), float(area.y), float(area.x + area.width), float(area.y + area.height));
}

// Family names arrive as UTF-8 skin values, which may carry a terminating zero byte.
std::wstring family_name(std::string_view family)
{
    return utf8_to_wide(family.substr(0, family.find('\0')));
}

// Pixel size over scale, truncated; zero for an image smaller than its scale.
point natural_size(const image& picture)
{
    const float scale = picture.scale();
    if (!(scale > 0)) return {};
    return {int32_t(float(picture.width()) / scale), int32_t(float(picture.height()) / scale)};
}

void check(HRESULT result, const char* message)
{
    if (FAILED(result)) throw qz_exception(message);
}

std::shared_ptr<ID2D1Factory> make_factory()
{
    ID2D1Factory* made = nullptr;
    check(D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, &made), "unable to create a d2d resource factory");
    return std::shared_ptr<ID2D1Factory>(made, [](ID2D1Factory* factory) { factory->Release(); });
}

// Direct2D keeps the device of window targets with their factory: a window with a factory of its own holds a
// whole device, well over a hundred megabytes under Wine. The window renderers of the thread that made the
// factory share it (it is single-threaded); it goes with the last of them, so nothing is left for unload.
std::shared_ptr<ID2D1Factory> window_factory()
{
    static std::mutex guard;
    static std::weak_ptr<ID2D1Factory> shared;
    static DWORD shared_thread = 0;
    std::lock_guard lock(guard);
    std::shared_ptr<ID2D1Factory> factory = shared.lock();
    if (factory && shared_thread == GetCurrentThreadId())
        return factory;
    std::shared_ptr<ID2D1Factory> made = make_factory();
    if (!factory) {
        shared = made;
        shared_thread = GetCurrentThreadId();
    }
    return made;
}

}  // namespace

renderer::renderer(std::shared_ptr<ID2D1Factory> factory) : factory_(std::move(factory))
{
    check(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                              reinterpret_cast<IUnknown**>(write_factory_.GetAddressOf())),
          "unable to create the write factory");
    check(write_factory_->CreateTextFormat(L"Verdana", nullptr, DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STYLE_NORMAL,
                                           DWRITE_FONT_STRETCH_NORMAL, 12.0f, L"en-us", default_format_.GetAddressOf()),
          "unable to initialize the d2d write factory");
    const float dotted[] = {1.0f, 1.0f};
    const float dashed[] = {4.0f, 4.0f};
    const auto properties = D2D1::StrokeStyleProperties(D2D1_CAP_STYLE_FLAT, D2D1_CAP_STYLE_FLAT, D2D1_CAP_STYLE_FLAT,
                                                        D2D1_LINE_JOIN_MITER, 10.0f, D2D1_DASH_STYLE_CUSTOM, 0.0f);
    if (FAILED(factory_->CreateStrokeStyle(properties, dotted, 2, dotted_stroke_.GetAddressOf())) ||
        FAILED(factory_->CreateStrokeStyle(properties, dashed, 2, dashed_stroke_.GetAddressOf())))
        throw qz_exception("unable to initialize the dotted stroke");
}

renderer::renderer(HWND handle) : renderer(window_factory()) { handle_ = handle; }

renderer::renderer(IWICBitmap* target) : renderer(make_factory())
{
    wic_target_ = target;
    create_target();
    create_brushes();
}

renderer::~renderer() { release_target(); }

void renderer::create_target()
{
    if (wic_target_) {
        check(factory_->CreateWicBitmapRenderTarget(wic_target_.Get(), D2D1::RenderTargetProperties(),
                                                    target_.ReleaseAndGetAddressOf()),
              "unable to create a d2d render target");
        return;
    }
    RECT client{};
    GetClientRect(handle_, &client);
    check(factory_->CreateHwndRenderTarget(
              D2D1::RenderTargetProperties(),
              // The paint pass redraws only the update rectangle: the rest must stay as it was.
              D2D1::HwndRenderTargetProperties(handle_,
                                               D2D1::SizeU(client.right - client.left, client.bottom - client.top),
                                               D2D1_PRESENT_OPTIONS_RETAIN_CONTENTS),
              hwnd_target_.ReleaseAndGetAddressOf()),
          "unable to create a d2d render target");
    target_ = hwnd_target_;
}

void renderer::create_brushes()
{
    if (FAILED(target_->CreateSolidColorBrush(d2d_color(fill_color_), fill_brush_.ReleaseAndGetAddressOf())) ||
        FAILED(target_->CreateSolidColorBrush(d2d_color(text_color_), text_brush_.ReleaseAndGetAddressOf())) ||
        FAILED(target_->CreateSolidColorBrush(d2d_color(line_color_), line_brush_.ReleaseAndGetAddressOf())))
        throw qz_exception("unable to create one or more solid brushes");
}

// Everything made on the old target dies with it: brushes and the images' bitmaps.
void renderer::release_target()
{
    for (image* picture : images_) picture->forget_renderer(this);
    images_.clear();
    fill_brush_.Reset();
    text_brush_.Reset();
    line_brush_.Reset();
    target_.Reset();
    hwnd_target_.Reset();
}

bool renderer::begin_draw()
{
    // A target lost earlier is made again here, outside any destructor; while that fails nothing is
    // drawn and the next paint tries once more.
    if (!target_) {
        try {
            create_target();
            create_brushes();
            new_target_ = handle_ != nullptr;
        } catch (const qz_exception& failure) {
            release_target();
            target_failure_ = failure.what();
            return false;
        }
    }
    drawing_ = true;
    target_->BeginDraw();
    return true;
}

void renderer::end_draw() noexcept
{
    drawing_ = false;
    if (target_) recover_from(target_->EndDraw());
    if (std::exchange(release_after_draw_, false)) release_target();
}

void renderer::release_device_resources() noexcept
{
    // Only a window's target comes back at the next paint; a bitmap's is made once.
    if (!handle_) return;
    if (drawing_)
        release_after_draw_ = true;
    else
        release_target();
}

void renderer::recover_from(HRESULT end_result) noexcept
{
    if (end_result != HRESULT(D2DERR_RECREATE_TARGET)) return;
    release_target();
    if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

void renderer::resize(uint32_t pixel_width, uint32_t pixel_height)
{
    if (hwnd_target_) hwnd_target_->Resize(D2D1::SizeU(pixel_width, pixel_height));
}

void renderer::push_clip(const rect& clip) { target_->PushAxisAlignedClip(rect_f(clip), D2D1_ANTIALIAS_MODE_ALIASED); }

void renderer::pop_clip() { target_->PopAxisAlignedClip(); }

void renderer::set_translation(int32_t x, int32_t y)
{
    target_->SetTransform(D2D1::Matrix3x2F::Translation(float(x), float(y)));
}

void renderer::set_font(std::string_view family, float size, uint32_t weight_code, uint32_t style_code)
{
    font_family_ = family_name(family);
    font_size_ = size;
    font_weight_ = weight_of(weight_code);
    font_style_ = style_of(style_code);
    underline_ = false;
    antialiased_text_ = false;
    text_align_ = text_align::leading;
    paragraph_align_ = paragraph_align::top;
}

void renderer::set_alignment(text_align horizontal, paragraph_align vertical)
{
    text_align_ = horizontal;
    paragraph_align_ = vertical;
}

void renderer::set_fill_color(const color& value)
{
    fill_color_ = value;
    if (fill_brush_) fill_brush_->SetColor(d2d_color(value));
}

void renderer::set_text_color(const color& value)
{
    text_color_ = value;
    if (text_brush_) text_brush_->SetColor(d2d_color(value));
}

void renderer::set_line_color(const color& value)
{
    line_color_ = value;
    if (line_brush_) line_brush_->SetColor(d2d_color(value));
}

void renderer::set_stroke(float width, stroke_mode mode)
{
    stroke_width_ = width;
    stroke_mode_ = mode;
}

void renderer::fill_rect(const rect& area) { target_->FillRectangle(rect_f(area), fill_brush_.Get()); }

ID2D1StrokeStyle* renderer::current_stroke() const
{
    if (stroke_mode_ == stroke_mode::dotted) return dotted_stroke_.Get();
    if (stroke_mode_ == stroke_mode::dashed) return dashed_stroke_.Get();
    return nullptr;
}

void renderer::draw_rect(const rect& area)
{
    const float half = stroke_width_ / 2;
    if (!antialiased_outlines_) target_->SetAntialiasMode(D2D1_ANTIALIAS_MODE_ALIASED);
    target_->DrawRectangle(rect_f(area.x + half, area.y + half, area.x + area.width - half, area.y + area.height - half),
                           line_brush_.Get(), stroke_width_, current_stroke());
    target_->SetAntialiasMode(D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
}

void renderer::draw_line(float x0, float y0, float x1, float y1)
{
    if (!antialiased_outlines_) target_->SetAntialiasMode(D2D1_ANTIALIAS_MODE_ALIASED);
    target_->DrawLine(D2D1::Point2F(x0, y0), D2D1::Point2F(x1, y1), line_brush_.Get(), stroke_width_,
                      current_stroke());
    target_->SetAntialiasMode(D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
}

void renderer::fill_vertical_gradient(const rect& area, const color& top, const color& bottom)
{
    const D2D1_GRADIENT_STOP stops[] = {{0.0f, d2d_color(top)}, {1.0f, d2d_color(bottom)}};
    ComPtr<ID2D1GradientStopCollection> collection;
    ComPtr<ID2D1LinearGradientBrush> brush;
    if (FAILED(target_->CreateGradientStopCollection(stops, 2, collection.GetAddressOf()))) return;
    const auto line = D2D1::LinearGradientBrushProperties(D2D1::Point2F(float(area.x), float(area.y)),
                                                          D2D1::Point2F(float(area.x), float(area.y + area.height)));
    if (FAILED(target_->CreateLinearGradientBrush(line, collection.Get(), brush.GetAddressOf()))) return;
    target_->FillRectangle(rect_f(area), brush.Get());
}

IDWriteTextFormat* renderer::current_format()
{
    if (font_family_.empty()) return default_format_.Get();
    auto key = std::make_tuple(font_family_, font_size_, font_weight_, font_style_);
    auto found = formats_.find(key);
    if (found != formats_.end()) return found->second.Get();
    ComPtr<IDWriteTextFormat> format;
    if (FAILED(write_factory_->CreateTextFormat(font_family_.c_str(), nullptr, DWRITE_FONT_WEIGHT(font_weight_),
                                                DWRITE_FONT_STYLE(font_style_), DWRITE_FONT_STRETCH_NORMAL,
                                                font_size_, L"en-us", format.GetAddressOf())))
        return nullptr;
    return formats_.emplace(std::move(key), std::move(format)).first->second.Get();
}

ComPtr<IDWriteTextLayout> renderer::make_layout(const std::wstring& text, float max_width, float max_height,
                                                const std::vector<text_style_range>& ranges)
{
    ComPtr<IDWriteTextLayout> layout;
    IDWriteTextFormat* format = current_format();
    if (!format || FAILED(write_factory_->CreateTextLayout(text.c_str(), UINT32(text.size()), format, max_width,
                                                           max_height, layout.GetAddressOf())))
        return nullptr;
    if (underline_) layout->SetUnderline(TRUE, {0, UINT32(text.size())});
    for (const text_style_range& range : ranges) {
        const DWRITE_TEXT_RANGE span{range.start, range.length};
        layout->SetFontWeight(weight_of(range.weight), span);
        layout->SetFontStyle(style_of(range.style), span);
        if (!range.family.empty()) layout->SetFontFamilyName(family_name(range.family).c_str(), span);
        if (range.size > 0) layout->SetFontSize(range.size, span);
        layout->SetUnderline(range.underline, span);
    }
    return layout;
}

void renderer::draw_layout(const rect& area, std::string_view text, const std::vector<text_style_range>& ranges)
{
    ComPtr<IDWriteTextLayout> layout =
        make_layout(utf8_to_wide(text), float(std::max(area.width, 0)), float(std::max(area.height, 0)), ranges);
    if (!layout) return;
    layout->SetTextAlignment(DWRITE_TEXT_ALIGNMENT(text_align_));
    layout->SetParagraphAlignment(DWRITE_PARAGRAPH_ALIGNMENT(paragraph_align_));
    // The run brushes live until the layout has been drawn, and no longer.
    std::vector<ComPtr<ID2D1SolidColorBrush>> run_brushes;
    for (const text_style_range& range : ranges) {
        if (range.color.is_zero()) continue;
        ComPtr<ID2D1SolidColorBrush> brush;
        if (FAILED(target_->CreateSolidColorBrush(d2d_color(range.color), brush.GetAddressOf()))) continue;
        layout->SetDrawingEffect(brush.Get(), {range.start, range.length});
        run_brushes.push_back(std::move(brush));
    }
    if (!antialiased_text_) target_->SetAntialiasMode(D2D1_ANTIALIAS_MODE_ALIASED);
    target_->DrawTextLayout(D2D1::Point2F(float(area.x), float(area.y)), layout.Get(), text_brush_.Get(),
                            D2D1_DRAW_TEXT_OPTIONS_NONE);
    target_->SetAntialiasMode(D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
}

void renderer::draw_text(const rect& area, std::string_view text, const std::vector<text_style_range>& ranges)
{
    draw_layout(area, text, ranges);
}

void renderer::draw_text_clipped(const rect& area, const rect& clip, std::string_view text,
                                 const std::vector<text_style_range>& ranges)
{
    push_clip(clip);
    draw_layout(area, text, ranges);
    pop_clip();
}

text_extent renderer::measure_text(std::string_view text, uint32_t max_width, uint32_t max_height,
                                   const std::vector<text_style_range>& ranges)
{
    ComPtr<IDWriteTextLayout> layout = make_layout(utf8_to_wide(text), max_width ? float(max_width) : FLT_MAX,
                                                   max_height ? float(max_height) : FLT_MAX, ranges);
    DWRITE_TEXT_METRICS metrics{};
    if (!layout || FAILED(layout->GetMetrics(&metrics))) return {};
    const float width = metrics.widthIncludingTrailingWhitespace + 1;
    const float height = metrics.height + 1;
    if (!(width > 0 && width < 4e9f && height > 0 && height < 4e9f)) return {};
    return {uint32_t(width), uint32_t(height)};
}

std::vector<float> renderer::cluster_widths(std::string_view text)
{
    ComPtr<IDWriteTextLayout> layout = make_layout(utf8_to_wide(text), 0, 0, {});
    UINT32 count = 0;
    if (!layout) return {};
    HRESULT result = layout->GetClusterMetrics(nullptr, 0, &count);
    if (FAILED(result) && result != E_NOT_SUFFICIENT_BUFFER) return {};
    std::vector<DWRITE_CLUSTER_METRICS> clusters(count);
    if (count && FAILED(layout->GetClusterMetrics(clusters.data(), count, &count))) return {};
    std::vector<float> widths{0.0f};
    for (const DWRITE_CLUSTER_METRICS& cluster : clusters) widths.push_back(cluster.width);
    return widths;
}

void renderer::draw_bitmap(image& picture, const D2D1_RECT_F& destination, const D2D1_RECT_F* source)
{
    target_->DrawBitmap(picture.bitmap_for(*this), destination, 1.0f, D2D1_BITMAP_INTERPOLATION_MODE_LINEAR, source);
}

void renderer::draw_image(point position, image& picture)
{
    if (!picture.valid()) return;
    const point size = natural_size(picture);
    draw_bitmap(picture, rect_f(float(position.x), float(position.y), float(position.x + size.x),
                                float(position.y + size.y)),
                nullptr);
}

void renderer::draw_image_fit(const rect& area, image& picture, bool stretch)
{
    if (!picture.valid()) return;
    const auto [natural_width, natural_height] = natural_size(picture);
    // An image smaller than its scale has no natural size to fit.
    if (natural_width <= 0 || natural_height <= 0) return;
    if (stretch) {
        draw_bitmap(picture, rect_f(area), nullptr);
        return;
    }
    const float factor = std::min(float(area.width) / float(natural_width), float(area.height) / float(natural_height));
    const int32_t width = int32_t(float(natural_width) * factor);
    const int32_t height = int32_t(float(natural_height) * factor);
    const int32_t x = area.x + (area.width - width) / 2;
    const int32_t y = area.y + (area.height - height) / 2;
    draw_bitmap(picture, rect_f(float(x), float(y), float(x + width), float(y + height)), nullptr);
}

void renderer::draw_image_part(point position, image& picture, const rect& source)
{
    if (!picture.valid()) return;
    const float scale = picture.scale();
    const D2D1_RECT_F from = rect_f(source.x * scale, source.y * scale, (source.x + source.width) * scale,
                                    (source.y + source.height) * scale);
    draw_bitmap(picture, rect_f(float(position.x), float(position.y), float(position.x + source.width),
                                float(position.y + source.height)),
                &from);
}

}  // namespace qzsdk::ui
