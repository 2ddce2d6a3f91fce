// Painting a form: back colour, picture at the top-left corner, then each label's caption and
// the keyboard's focus, all in an off-screen bitmap that is copied to the window in one go.
#include "host/accessibility.h"
#include "host/win32/native.h"

namespace host::win32 {
namespace {

bool SameFont(const FontSpec& a, const FontSpec& b) {
  return a.face == b.face && a.points == b.points && a.weight == b.weight && a.italic == b.italic &&
         a.underline == b.underline && a.strikeout == b.strikeout && a.charset == b.charset;
}

void FillColor(HDC dc, const RECT& rect, Color color) {
  UniqueBrush brush(::CreateSolidBrush(ResolveColor(color)));
  if (brush) ::FillRect(dc, &rect, brush.get());
}

void PaintLabel(Form::Native& native, HDC dc, const Label& label) {
  RECT rect = ToPixelRect(label.Rect());
  if (!label.Transparent()) FillColor(dc, rect, native.form.BackColor());
  if (label.Caption().empty()) return;
  Selection font(dc, FontFor(native, label, label.Font()));
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ResolveColor(label.ForeColor()));
  // Without DT_NOCLIP the text is cut at the label's edges.
  ::DrawTextW(dc, Wide(label.Caption()), static_cast<int>(label.Caption().size()), &rect,
              DT_WORDBREAK | DT_NOPREFIX | DT_LEFT | DT_TOP);
}

}  // namespace

RECT SpotPixels(const Form& form, int part) {
  const AccessDescription& description = form.Accessibility();
  if (part < 0 || description.Parts()[static_cast<std::size_t>(part)].IsForm()) return RECT{};
  return ToPixelRect(description.Rect(part));
}

COLORREF ResolveColor(Color color) {
  if (color & 0x80000000u) return ::GetSysColor(static_cast<int>(color & 0xFFu));
  return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

HFONT FontFor(Form::Native& native, const Control& control, const FontSpec& wanted) {
  if (wanted.IsDefault()) return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  int dpi = ScreenDpi(LOGPIXELSY);
  auto& cached = native.fonts[&control];
  if (!cached.font || !SameFont(cached.made, wanted) || cached.dpi != dpi) {
    int hundredths = static_cast<int>(std::lround(wanted.points * 100.0f));
    int height = -::MulDiv(hundredths, dpi, 7200);
    cached.font.reset(::CreateFontW(height, 0, 0, 0, wanted.weight, wanted.italic, wanted.underline,
                                    wanted.strikeout, static_cast<DWORD>(wanted.charset),
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_DONTCARE, Wide(wanted.face)));
    cached.made = wanted;
    cached.dpi = dpi;
  }
  if (!cached.font) return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  return cached.font.get();
}

void PaintForm(Form::Native& native, HDC target) {
  HWND window = native.Hwnd();
  if (window == nullptr || target == nullptr) return;
  RECT client;
  ::GetClientRect(window, &client);
  int width = client.right;
  int height = client.bottom;
  if (width <= 0 || height <= 0) return;

  WindowDc screen(window);
  UniqueDc buffer(::CreateCompatibleDC(screen.get()));
  UniqueBitmap canvas(::CreateCompatibleBitmap(screen.get(), width, height));
  if (!buffer || !canvas) return;
  {
    Selection canvasIn(buffer.get(), canvas.get());
    HDC dc = buffer.get();
    FillColor(dc, client, native.form.BackColor());
    if (native.picture) {
      UniqueDc pictureDc(::CreateCompatibleDC(screen.get()));
      if (pictureDc) {
        Selection pictureIn(pictureDc.get(), native.picture.bitmap.get());
        ::BitBlt(dc, 0, 0, native.picture.width, native.picture.height, pictureDc.get(), 0, 0,
                 SRCCOPY);
      }
    }
    for (const auto& label : native.form.Labels()) PaintLabel(native, dc, *label);
    // As a dialog's buttons do: the focus shows only while the window has it.
    RECT focus = SpotPixels(native.form, native.form.Accessibility().Focused());
    if (::GetFocus() == window && !::IsRectEmpty(&focus) &&
        native.form.Accessibility().FocusShown()) {
      ::DrawFocusRect(dc, &focus);
    }
    ::BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  }
}

}  // namespace host::win32
