#pragma once
// Who made the program and where to find them: the window caption (see
// ui_texts.cpp) and the link label are made of these, so a rebranding
// touches this file only.

// The caption is the program's name followed by where to write to.
#define QUIRNEL_PROGRAM_NAME L"Quirnel"
#define QUIRNEL_CONTACT L"help@example.com"

// The maker's web site: the host name the site link shows (short enough for the
// label's visible part), and the address it opens.
#define QUIRNEL_SITE_HOST L"example.com"
inline constexpr wchar_t kSiteHostName[] = QUIRNEL_SITE_HOST;
inline constexpr wchar_t kSiteAddress[] = L"http://" QUIRNEL_SITE_HOST L"/";

// The main window's class, by which tests and tools find it.
inline constexpr wchar_t kMainWindowClass[] = L"QuirnelMainWindow";
