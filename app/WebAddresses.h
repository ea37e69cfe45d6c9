// Where the program's web pages live. The host is a reserved example domain
// until the product has a real one.
#pragma once

#define DRAVIX_WEB_HOST L"www.dravix.example"

inline constexpr const wchar_t* kHomePageUrl = L"https://" DRAVIX_WEB_HOST L"/video-repair/";
inline constexpr const wchar_t* kHowToUseUrl =
    L"https://" DRAVIX_WEB_HOST L"/video-repair/how-to-use.html";
inline constexpr const wchar_t* kMakerHomeUrl = L"http://" DRAVIX_WEB_HOST;
