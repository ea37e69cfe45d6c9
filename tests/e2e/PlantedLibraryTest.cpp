// The program runs elevated: a library that a same-user process drops beside
// it must never be loaded, or it would run with administrator rights.
#include "support/E2E.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>

namespace {

// Wine's own libraries come before native ones of the same name. This has it
// prefer a native oleacc.dll for the program while the object lives, as
// Windows prefers one in the program's folder. (A WINEDLLOVERRIDES set here
// would not reach the program: Wine 8 hands a started program the WINE
// variables of the Unix environment, not of this process's.)
class PreferNativeOleacc {
public:
    PreferNativeOleacc() {
        RegSetKeyValueW(HKEY_CURRENT_USER, (kKey + std::wstring(L"\\DllOverrides")).c_str(),
                        L"oleacc", REG_SZ, kNative, sizeof kNative);
    }
    PreferNativeOleacc(const PreferNativeOleacc&) = delete;
    PreferNativeOleacc& operator=(const PreferNativeOleacc&) = delete;
    ~PreferNativeOleacc() { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

private:
    static constexpr wchar_t kKey[] = L"Software\\Wine\\AppDefaults\\Dravix Video Repair.exe";
    static constexpr wchar_t kNative[] = L"native,builtin";
};

TEST(PlantedLibrary, AnOleaccBesideTheProgramIsNotLoadedAndScreenReadersStillRead) {
    support::ScratchFolder folder(L"dravix planted");
    ASSERT_TRUE(e2e::InstallInto(folder.Path()));
    const std::wstring planted = folder.File(L"oleacc.dll");
    ASSERT_TRUE(CopyFileW((support::BuildFolder() + L"tests\\planted\\oleacc.dll").c_str(),
                          planted.c_str(), FALSE));

    PreferNativeOleacc native;
    e2e::App app(folder.File(L"Dravix Video Repair.exe"));
    ASSERT_TRUE(app.Start());

    const support::AccessibleFacts repair = support::ReadAccessible(app.Find(IDC_REPAIR));
    EXPECT_EQ(repair.name, L"Repair");
    EXPECT_EQ(repair.role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_TRUE(app.Close());
    EXPECT_FALSE(support::Exists(planted + L".loaded")) << "the planted oleacc.dll was loaded";
}

} // namespace
