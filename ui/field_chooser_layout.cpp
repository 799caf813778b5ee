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
constexpr int kChoiceHeight = 24;
constexpr int kChoiceLabelWidth = 76;  // "标题行：", "Header row:"
constexpr int kHeaderChoiceWidth = 140;
constexpr int kSchemeChoiceWidth = 240;  // at most: in a narrow dialog it takes what is left
constexpr int kChoiceSpacing = 20;       // between the two pairs
constexpr SIZE kClient = {760, 560};
constexpr SIZE kSmallestClient = {540, 340};
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
  const int choice = scaled(kChoiceHeight);
  // What is left for the two tables once the lines, the drop-downs and the
  // buttons have theirs.
  const int listTop = margin + line + gap;
  const int shared = std::max(buttonTop - gap - listTop - (gap + choice + gap + line + gap), 0);
  const int listHeight = shared * kListPercent / 100;
  const int choiceTop = listTop + listHeight + gap;
  const int labelTop = choiceTop + choice + gap;
  const int previewTop = labelTop + line + gap;

  FieldChooserLayout layout;
  layout.summary = Box(margin, margin, width, line);
  layout.progress = Box(margin, listTop, width, scaled(kProgressHeight));
  layout.list = Box(margin, listTop, width, listHeight);
  // The labels stand level with the text of the drop-downs beside them.
  const int choiceLabelTop = choiceTop + (choice - line) / 2;
  const int labelWidth = scaled(kChoiceLabelWidth);
  layout.headerLabel = Box(margin, choiceLabelTop, labelWidth, line);
  layout.headerChoice = Box(margin + labelWidth, choiceTop, scaled(kHeaderChoiceWidth), choice);
  const int schemeLeft = layout.headerChoice.right + scaled(kChoiceSpacing);
  layout.schemeLabel = Box(schemeLeft, choiceLabelTop, labelWidth, line);
  const int schemeChoiceLeft = schemeLeft + labelWidth;
  layout.schemeChoice = Box(schemeChoiceLeft, choiceTop,
                            std::min<int>(scaled(kSchemeChoiceWidth), client.cx - margin - schemeChoiceLeft), choice);
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

FieldChooserColumns FieldChooserColumnWidths(int listWidth, int dpi, Language language, int widestName) {
  const int least = ScaleForDpi(language == Language::English ? 360 : 240, dpi);
  const int name = std::max(least, std::min(widestName, listWidth * 45 / 100));
  FieldChooserColumns columns = {ScaleForDpi(64, dpi), name, ScaleForDpi(64, dpi), 0};
  columns.sample = std::max(listWidth - columns.code - columns.name - columns.share, ScaleForDpi(120, dpi));
  return columns;
}

int PreviewColumnWidth(int dpi) { return ScaleForDpi(120, dpi); }
