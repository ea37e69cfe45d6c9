// The program runs elevated: a library that a same-user process drops beside
// it must never be loaded, or it would run with administrator rights.
#include "support/E2E.h"

#include "framework/Files.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <oleacc.h>

namespace {

// Has Wine prefer a native oleacc.dll for the program, as Windows prefers one
// in the program's folder. (A WINEDLLOVERRIDES set here would not reach it:
// Wine 8 gives a started program the WINE variables of the Unix environment.)
constexpr wchar_t kWineSettings[] = L"Software\\Wine\\AppDefaults\\Dravix Video Repair.exe";

TEST(PlantedLibrary, AnOleaccBesideTheProgramIsNotLoadedAndScreenReadersStillRead) {
    support::ScratchFolder folder(L"dravix planted");
    ASSERT_TRUE(e2e::InstallInto(folder.Path()));
    const std::wstring planted = folder.File(L"oleacc.dll");
    ASSERT_TRUE(CopyFileW((support::BuildFolder() + L"tests\\planted\\oleacc.dll").c_str(),
                          planted.c_str(), FALSE));
    const wchar_t native[] = L"native,builtin";
    RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kWineSettings) + L"\\DllOverrides").c_str(),
                    L"oleacc", REG_SZ, native, sizeof native);
    struct Restore {
        ~Restore() { RegDeleteTreeW(HKEY_CURRENT_USER, kWineSettings); }
    } restore;

    e2e::App app(folder.File(L"Dravix Video Repair.exe"));
    ASSERT_TRUE(app.Start());
    const support::AccessibleFacts repair = support::ReadAccessible(app.Find(IDC_REPAIR));
    EXPECT_EQ(repair.name, L"Repair");
    EXPECT_EQ(repair.role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_TRUE(app.Close());
    EXPECT_FALSE(fw::PathExists(planted + L".loaded")) << "the planted oleacc.dll was loaded";
}

} // namespace
