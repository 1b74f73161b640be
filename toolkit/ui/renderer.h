#pragma once
// The per-window drawing object: one Direct2D render target with the DirectWrite objects, brushes, strokes and
// the current font through which every widget paints during its window's paint pass.
#include <windows.h>
#include <d2d1.h>
#include <dwrite.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "toolkit/ui/color.h"
#include "toolkit/ui/rect.h"
#include "toolkit/ui/text_style_range.h"

namespace qzsdk::ui {

class image;
class widget;

struct text_extent {
    uint32_t width = 0;
    uint32_t height = 0;
};

enum class stroke_mode : uint32_t { solid = 0, dotted = 1, dashed = 2 };
// DirectWrite's text and paragraph alignments, in their order.
enum class text_align : uint32_t { leading = 0, trailing = 1, center = 2 };
enum class paragraph_align : uint32_t { top = 0, bottom = 1, center = 2 };

class renderer {
public:
    // Draws into the window's client area; throws qz_exception when Direct2D or DirectWrite cannot be set up.
    // The render target is made at the first paint: a window never shown holds none.
    explicit renderer(HWND handle);
    // Draws into a 32bpp premultiplied WIC bitmap (pictures composed off screen, pixel checks).
    explicit renderer(IWICBitmap* target);
    ~renderer();
    renderer(const renderer&) = delete;
    renderer& operator=(const renderer&) = delete;

    // Paint pass (driven by the window). A target lost at end_draw is dropped and the window asked to
    // repaint; begin_draw makes it again, and is false (nothing may be drawn) while that fails, with
    // target_failure saying why.
    bool begin_draw();
    const std::string& target_failure() const { return target_failure_; }
    // Whether a begin_draw made a window target since the last call.
    bool take_new_target() { return std::exchange(new_target_, false); }
    void end_draw() noexcept;
    bool is_drawing() const { return drawing_; }
    void resize(uint32_t pixel_width, uint32_t pixel_height);
    // A hidden window gives back its render target and all made on it (brushes, the images' bitmaps); the next
    // paint makes them again. During a paint pass the release waits for its end.
    void release_device_resources() noexcept;
    bool holds_target() const { return target_ != nullptr; }
    void push_clip(const rect& clip);  // axis-aligned, aliased, in the current transform
    void pop_clip();
    void set_translation(int32_t x, int32_t y);  // (0, 0) is the identity
    std::vector<widget*>& drawing_stack() { return drawing_stack_; }
    point& offset() { return offset_; }

    // Current state: every painter sets what it uses.
    void set_font(std::string_view family, float size, uint32_t weight_code, uint32_t style_code);
    void set_underline(bool underline) { underline_ = underline; }
    void set_antialiased_text(bool antialiased) { antialiased_text_ = antialiased; }
    // Where drawn text sits in its rectangle; set_font puts both back to leading and top.
    void set_alignment(text_align horizontal, paragraph_align vertical);
    void set_fill_color(const color& value);
    void set_text_color(const color& value);
    void set_line_color(const color& value);
    void set_stroke(float width, stroke_mode mode);
    void set_antialiased_outlines(bool antialiased) { antialiased_outlines_ = antialiased; }

    // Fills through the fill brush, outlines and lines through the line brush with the current stroke.
    void fill_rect(const rect& area);
    void draw_rect(const rect& area);  // edges inset by half the stroke width
    void draw_line(float x0, float y0, float x1, float y1);
    void fill_vertical_gradient(const rect& area, const color& top, const color& bottom);

    void draw_text(const rect& area, std::string_view text, const std::vector<text_style_range>& ranges = {});
    void draw_text_clipped(const rect& area, const rect& clip, std::string_view text,
                           const std::vector<text_style_range>& ranges = {});
    // A max of 0 is unbounded.
    text_extent measure_text(std::string_view text, uint32_t max_width = 0, uint32_t max_height = 0,
                             const std::vector<text_style_range>& ranges = {});
    // 0, then the advance width of each cluster.
    std::vector<float> cluster_widths(std::string_view text);

    // An image without pixels draws nothing.
    void draw_image(point position, image& picture);
    void draw_image_fit(const rect& area, image& picture, bool stretch);
    void draw_image_part(point position, image& picture, const rect& source);

    ID2D1RenderTarget* target() const { return target_.Get(); }
    // Images that made a bitmap for this target; they drop it when the renderer or its target goes away.
    void register_image(image* picture) { images_.insert(picture); }
    void forget_image(image* picture) { images_.erase(picture); }

private:
    friend class renderer_test_api;

    // The DirectWrite factory, the default text format and the strokes; the public constructors add the target.
    explicit renderer(std::shared_ptr<ID2D1Factory> factory);

    // A lost device: the target and all made on it dropped, and the window asked to paint again.
    void recover_from(HRESULT end_result) noexcept;
    ID2D1StrokeStyle* current_stroke() const;
    void create_target();
    void create_brushes();
    void release_target();
    IDWriteTextFormat* current_format();
    Microsoft::WRL::ComPtr<IDWriteTextLayout> make_layout(const std::wstring& text, float max_width,
                                                          float max_height,
                                                          const std::vector<text_style_range>& ranges);
    void draw_layout(const rect& area, std::string_view text, const std::vector<text_style_range>& ranges);
    void draw_bitmap(image& picture, const D2D1_RECT_F& destination, const D2D1_RECT_F* source);

    HWND handle_ = nullptr;
    Microsoft::WRL::ComPtr<IWICBitmap> wic_target_;
    std::shared_ptr<ID2D1Factory> factory_;
    Microsoft::WRL::ComPtr<ID2D1RenderTarget> target_;
    Microsoft::WRL::ComPtr<ID2D1HwndRenderTarget> hwnd_target_;  // the same target, when it draws on the handle
    Microsoft::WRL::ComPtr<IDWriteFactory> write_factory_;
    Microsoft::WRL::ComPtr<ID2D1SolidColorBrush> fill_brush_, text_brush_, line_brush_;
    color fill_color_, text_color_{0, 0, 0, 1}, line_color_{0, 0, 0, 1};
    Microsoft::WRL::ComPtr<IDWriteTextFormat> default_format_;
    // Layouts take their font from a format of the current font, so that an empty text measures its line.
    std::map<std::tuple<std::wstring, float, uint32_t, uint32_t>, Microsoft::WRL::ComPtr<IDWriteTextFormat>>
        formats_;
    Microsoft::WRL::ComPtr<ID2D1StrokeStyle> dotted_stroke_, dashed_stroke_;
    uint32_t font_weight_ = 400;
    uint32_t font_style_ = 0;
    std::wstring font_family_;
    float font_size_ = 12.0f;
    bool underline_ = false;
    text_align text_align_ = text_align::leading;
    paragraph_align paragraph_align_ = paragraph_align::top;
    float stroke_width_ = 1.0f;
    stroke_mode stroke_mode_ = stroke_mode::solid;
    bool antialiased_outlines_ = false;
    bool antialiased_text_ = false;
    bool drawing_ = false;
    bool release_after_draw_ = false;
    std::string target_failure_;
    bool new_target_ = false;
    std::vector<widget*> drawing_stack_;
    point offset_;
    std::set<image*> images_;
};

}  // namespace qzsdk::ui
