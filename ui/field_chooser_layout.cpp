#include "field_chooser_layout.h"

#include <algorithm>

namespace {

// Measures at 96 DPI.
constexpr int kMargin = 10;
constexpr int kLineHeight = 20;  // a line of the interface font with room to spare
constexpr int kGap = 6;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 28;
constexpr int kProgressHeight = 18;
constexpr SIZE kClient = {760, 540};
constexpr SIZE kSmallestClient = {420, 320};
// The list gets this share of the height the two tables share.
constexpr int kListPercent = 55;

RECT Box(int left, int top, int width, int height) {
  return {left, top, left + std::max(width, 0), top + std::max(height, 0)};
}

}  // namespace

int ScaleForDpi(int pixelsAt96, int dpi) { return MulDiv(pixelsAt96, dpi, 96); }

FieldChooserLayout LayOutFieldChooser(SIZE client, int dpi) {
  const auto scaled = [dpi](int pixels) { return ScaleForDpi(pixels, dpi); };
  const int margin = scaled(kMargin);
  const int line = scaled(kLineHeight);
  const int gap = scaled(kGap);
  const int width = client.cx - 2 * margin;
  const int buttonTop = client.cy - margin - scaled(kButtonHeight);
  // What is left for the two tables once the lines and the buttons have theirs.
  const int listTop = margin + line + gap;
  const int shared = std::max(buttonTop - gap - listTop - (gap + line + gap), 0);
  const int listHeight = shared * kListPercent / 100;
  const int labelTop = listTop + listHeight + gap;
  const int previewTop = labelTop + line + gap;

  FieldChooserLayout layout;
  layout.summary = Box(margin, margin, width, line);
  layout.progress = Box(margin, listTop, width, scaled(kProgressHeight));
  layout.list = Box(margin, listTop, width, listHeight);
  layout.previewLabel = Box(margin, labelTop, width, line);
  layout.preview = Box(margin, previewTop, width, buttonTop - gap - previewTop);
  const int buttonWidth = scaled(kButtonWidth);
  const int cancelLeft = client.cx - margin - buttonWidth;
  layout.cancelButton = Box(cancelLeft, buttonTop, buttonWidth, scaled(kButtonHeight));
  layout.okButton = Box(cancelLeft - gap - buttonWidth, buttonTop, buttonWidth, scaled(kButtonHeight));
  return layout;
}

SIZE FieldChooserClientSize(int dpi) { return {ScaleForDpi(kClient.cx, dpi), ScaleForDpi(kClient.cy, dpi)}; }

SIZE FieldChooserSmallestClientSize(int dpi) {
  return {ScaleForDpi(kSmallestClient.cx, dpi), ScaleForDpi(kSmallestClient.cy, dpi)};
}

FieldChooserColumns FieldChooserColumnWidths(int listWidth, int dpi, Language language) {
  const int name = language == Language::English ? 360 : 240;
  FieldChooserColumns columns = {ScaleForDpi(64, dpi), ScaleForDpi(name, dpi), ScaleForDpi(64, dpi), 0};
  columns.sample = std::max(listWidth - columns.code - columns.name - columns.share, ScaleForDpi(120, dpi));
  return columns;
}

int PreviewColumnWidth(int dpi) { return ScaleForDpi(120, dpi); }
