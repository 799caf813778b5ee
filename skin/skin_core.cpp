#include "skin_core.h"

namespace skin {

namespace {
// Inside a slice: columns 0-3 left, 4 middle, 5-8 right; rows 0-4 top,
// 5-15 middle band, 16-20 bottom.
constexpr int kCornerWidth = 4;
constexpr int kTopHeight = 5;
constexpr int kBottomHeight = 5;
constexpr int kMiddleColumn = 4;
constexpr int kRightColumn = 5;
constexpr int kBandRow = 5;
constexpr int kBandHeight = 11;
constexpr int kBottomRow = 16;

constexpr int kAlphaStep = 3;
constexpr int kMaxAlpha = 255;

constexpr std::wstring_view kButtonClasses[] = {L"thundercommandbutton", L"thunderrt6commandbutton", L"button"};
constexpr std::wstring_view kHostClasses[] = {L"#32770", L"thunderformdc", L"thunderrt6formdc", L"form"};
constexpr std::wstring_view kHelpClass = L"newhelpclass";

// Only ASCII letters fold: the listed names hold no others.
std::wstring LowerCaseAscii(std::wstring_view text) {
  std::wstring lower(text);
  for (wchar_t& c : lower) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return lower;
}

template <typename List>
bool Contains(const List& list, std::wstring_view name) {
  for (std::wstring_view item : list) {
    if (item == name) return true;
  }
  return false;
}
}  // namespace

std::array<NinePiece, 9> NinePieces(int width, int height, int state) {
  const int top = kSliceHeight * state;
  const int middleWidth = width - 2 * kCornerWidth;
  const int middleHeight = height - kTopHeight - kBottomHeight;
  const int right = width - kCornerWidth;
  const int bottom = height - kBottomHeight;
  const PieceCopy copy = PieceCopy::Copy;
  const PieceCopy stretch = PieceCopy::Stretch;
  return {{
      {copy, {0, 0, kCornerWidth, kTopHeight}, {0, top, kCornerWidth, kTopHeight}},
      {stretch, {kCornerWidth, 0, middleWidth, kTopHeight}, {kMiddleColumn, top, 1, kTopHeight}},
      {copy, {right, 0, kCornerWidth, kTopHeight}, {kRightColumn, top, kCornerWidth, kTopHeight}},
      {stretch, {0, kTopHeight, kCornerWidth, middleHeight}, {0, top + kBandRow, kCornerWidth, kBandHeight}},
      {stretch,
       {right, kTopHeight, kCornerWidth, middleHeight},
       {kRightColumn, top + kBandRow, kCornerWidth, kBandHeight}},
      {copy, {0, bottom, kCornerWidth, kBottomHeight}, {0, top + kBottomRow, kCornerWidth, kBottomHeight}},
      {copy,
       {right, bottom, kCornerWidth, kBottomHeight},
       {kRightColumn, top + kBottomRow, kCornerWidth, kBottomHeight}},
      {stretch,
       {kCornerWidth, bottom, middleWidth, kBottomHeight},
       {kMiddleColumn, top + kBottomRow, 1, kBottomHeight}},
      {stretch, {kCornerWidth, kTopHeight, middleWidth, middleHeight}, {kMiddleColumn, top + kBandRow, 1, kBandHeight}},
  }};
}

PieceRect CaptionRect(int width, int height) { return {2, 2, width - 4, height - 4}; }

FadeAdvance AdvanceFade(int alpha) {
  if (alpha + kAlphaStep > kMaxAlpha) return {true, 0};
  return {false, alpha + kAlphaStep};
}

WindowRole RoleOfClass(std::wstring_view className) {
  const std::wstring lower = LowerCaseAscii(className);
  if (Contains(kButtonClasses, lower)) return WindowRole::Button;
  if (Contains(kHostClasses, lower)) return WindowRole::Host;
  return WindowRole::Other;
}

bool IsActivationHostClass(std::wstring_view className) {
  const std::wstring lower = LowerCaseAscii(className);
  return Contains(kHostClasses, lower) || lower == kHelpClass;
}

std::wstring WithoutPrefix(std::wstring_view caption) {
  std::wstring shown;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'&' && ++i == caption.size()) break;
    shown += caption[i];
  }
  return shown;
}

}  // namespace skin
