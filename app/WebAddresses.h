// Where the program's web pages and mail addresses live. The host is a
// reserved example domain until the product has a real one.
#pragma once

#define DRAVIX_WEB_HOST L"www.dravix.example"
#define DRAVIX_MAIL_DOMAIN L"dravix.example"

inline constexpr const wchar_t* kHomePageUrl = L"https://" DRAVIX_WEB_HOST L"/video-repair/";
inline constexpr const wchar_t* kHowToUseUrl =
    L"https://" DRAVIX_WEB_HOST L"/video-repair/how-to-use.html";
inline constexpr const wchar_t* kMakerHomeUrl = L"http://" DRAVIX_WEB_HOST;
inline constexpr const wchar_t* kSalesAddress = L"sales@" DRAVIX_MAIL_DOMAIN;
inline constexpr const wchar_t* kSupportAddress = L"support@" DRAVIX_MAIL_DOMAIN;
