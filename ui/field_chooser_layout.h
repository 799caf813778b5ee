#pragma once
// Where the field chooser's controls go in a client area of a given size at
// a given DPI: measures of a 96-DPI screen, scaled. The list of codes and the
// preview share the height that the lines of text, the drop-downs and the
// buttons leave.
#include <windows.h>

#include "text/language.h"

struct FieldChooserLayout {
  RECT summary;   // the line above the list: the file, its records, what to do
  RECT progress;  // the progress bar while the file is read, in the list's place
  RECT list;      // the codes with their check boxes
  // Under the list, in one row: the header row's style, the list to start from.
  RECT headerLabel;
  RECT headerChoice;  // the drop-down as it shows when closed
  RECT schemeLabel;
  RECT schemeChoice;
  RECT previewLabel;
  RECT preview;
  RECT okButton;
  RECT cancelButton;
};

// How far a drop-down's list reaches below it when open, at 96 DPI.
inline constexpr int kDroppedChoiceHeight = 160;

// Pixels at dpi for a length measured at 96 DPI.
int ScaleForDpi(int pixelsAt96, int dpi);

FieldChooserLayout LayOutFieldChooser(SIZE client, int dpi);

// The client area the chooser opens with, and the smallest one it can be
// made, at dpi.
SIZE FieldChooserClientSize(int dpi);
SIZE FieldChooserSmallestClientSize(int dpi);

// The widths of the list's columns (code, name, share, sample) for a list
// whose client area is listWidth wide: the sample takes what the others
// leave. English names, the UNIMARC manual's, are longer than Chinese ones.
struct FieldChooserColumns {
  int code, name, share, sample;
};
// widestName: the pixels the longest name needs, which the name column
// gets up to almost half the list.
FieldChooserColumns FieldChooserColumnWidths(int listWidth, int dpi, Language language, int widestName = 0);
// The width of each column of the preview.
int PreviewColumnWidth(int dpi);
