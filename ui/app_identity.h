#pragma once
// Who made the program and where to find them: the window caption and the
// link label both come from here, so a rebranding touches this file only.

// The caption: the program's name followed at once by a contact note in
// full-width parentheses.
#define QUIRNEL_PROGRAM_NAME L"Quirnel"
#define QUIRNEL_CONTACT_NOTE L"联系：help@example.com"
inline constexpr wchar_t kWindowCaption[] = QUIRNEL_PROGRAM_NAME L"（" QUIRNEL_CONTACT_NOTE L"）";

// The maker's web site: the host name the site link shows (short enough for the
// label's visible part), and the address it opens.
#define QUIRNEL_SITE_HOST L"example.com"
inline constexpr wchar_t kSiteHostName[] = QUIRNEL_SITE_HOST;
inline constexpr wchar_t kSiteAddress[] = L"http://" QUIRNEL_SITE_HOST L"/";

// The main window's class, by which tests and tools find it.
inline constexpr wchar_t kMainWindowClass[] = L"QuirnelMainWindow";
