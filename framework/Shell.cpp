#include "framework/Shell.h"

#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <winsafer.h>

#include <string>

namespace fw {
namespace {

// A VARIANT that owns what it holds.
class Variant {
public:
    Variant() { VariantInit(&m_value); }
    explicit Variant(const std::wstring& text) : Variant() {
        m_value.vt = VT_BSTR;
        m_value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    explicit Variant(int number) : Variant() {
        m_value.vt = VT_I4;
        m_value.lVal = number;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&m_value); }
    const VARIANT& Get() const { return m_value; }

private:
    VARIANT m_value;
};

struct BstrTraits {
    static bool Valid(BSTR text) { return text != nullptr; }
    static void Close(BSTR text) { SysFreeString(text); }
};

struct SaferLevelTraits {
    static bool Valid(SAFER_LEVEL_HANDLE level) { return level != nullptr; }
    static void Close(SAFER_LEVEL_HANDLE level) { SaferCloseLevel(level); }
};

struct SidTraits {
    static bool Valid(PSID sid) { return sid != nullptr; }
    static void Close(PSID sid) { FreeSid(sid); }
};

} // namespace

std::optional<bool> LinkShell::OpenOnDesktop(const std::wstring& target, int show) {
    const ComRef<IShellDispatch2> desktop = DesktopShell();
    if (!desktop)
        return std::nullopt;
    const UniqueResource<BSTR, BstrTraits> file(
        SysAllocStringLen(target.data(), static_cast<UINT>(target.size())));
    if (!file)
        return false;
    // The desktop starts the program that opens the target: it runs with the
    // desktop's rights, not this program's. Wine's desktop reports a target
    // it could not open with S_FALSE. (shellapi.h, included first, renames the
    // method to ShellExecuteW in the declaration and here alike.)
    return desktop.Get()->ShellExecute(
               file.Get(), Variant(std::wstring()).Get(), Variant(std::wstring()).Get(),
               Variant(std::wstring(L"open")).Get(), Variant(show).Get()) == S_OK;
}

bool LinkShell::OpenHere(const std::wstring& target, int show) {
    return reinterpret_cast<INT_PTR>(
               ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, show)) > 32;
}

bool OpenLink(const std::wstring& target, int show, LinkShell* shell) {
    LinkShell system;
    LinkShell& through = shell ? *shell : system;
    // A desktop that answered but failed is not asked again from here: that
    // would start the browser with this program's rights after all.
    if (const std::optional<bool> opened = through.OpenOnDesktop(target, show))
        return *opened;
    return through.OpenHere(target, show);
}

ComRef<IShellDispatch2> DesktopShell() {
    // The desktop's window, its browser, the view of its folder, and the
    // application object behind that view.
    ComRef<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                IID_PPV_ARGS(windows.Put()))))
        return {};
    VARIANT none;
    VariantInit(&none);
    long window = 0;
    ComRef<IDispatch> desktop;
    if (windows.Get()->FindWindowSW(&none, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                                    desktop.Put()) != S_OK ||
        !desktop)
        return {};
    ComRef<IServiceProvider> services;
    ComRef<IShellBrowser> browser;
    ComRef<IShellView> view;
    ComRef<IDispatch> background;
    ComRef<IShellFolderViewDual> folderView;
    ComRef<IDispatch> application;
    ComRef<IShellDispatch2> shell;
    if (FAILED(desktop.Get()->QueryInterface(IID_PPV_ARGS(services.Put()))) ||
        FAILED(services.Get()->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(browser.Put()))) ||
        FAILED(browser.Get()->QueryActiveShellView(view.Put())) || !view ||
        FAILED(view.Get()->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(background.Put()))) ||
        FAILED(background.Get()->QueryInterface(IID_PPV_ARGS(folderView.Put()))) ||
        FAILED(folderView.Get()->get_Application(application.Put())) || !application ||
        FAILED(application.Get()->QueryInterface(IID_PPV_ARGS(shell.Put()))))
        return {};
    return shell;
}

DWORD IntegrityLevel(HANDLE token) {
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    if (size < sizeof(TOKEN_MANDATORY_LABEL))
        return 0;
    std::string buffer(size, '\0');
    if (!GetTokenInformation(token, TokenIntegrityLevel, buffer.data(), size, &size))
        return 0;
    const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    if (!sid || !IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0)
        return 0;
    return *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u);
}

UniqueHandle NormalUserToken() {
    UniqueResource<SAFER_LEVEL_HANDLE, SaferLevelTraits> level;
    if (!SaferCreateLevel(SAFER_SCOPEID_USER, SAFER_LEVELID_NORMALUSER, SAFER_LEVEL_OPEN,
                          level.Put(), nullptr))
        return {};
    UniqueHandle token;
    if (!SaferComputeTokenFromLevel(level.Get(), nullptr, token.Put(), 0, nullptr))
        return {};
    // The normal-user level takes the administrators' rights away but keeps
    // the high integrity level of the elevated program; the label lowers it.
    SID_IDENTIFIER_AUTHORITY labels = SECURITY_MANDATORY_LABEL_AUTHORITY;
    UniqueResource<PSID, SidTraits> medium;
    if (!AllocateAndInitializeSid(&labels, 1, SECURITY_MANDATORY_MEDIUM_RID, 0, 0, 0, 0, 0, 0, 0,
                                  medium.Put()))
        return {};
    TOKEN_MANDATORY_LABEL label{};
    label.Label.Attributes = SE_GROUP_INTEGRITY;
    label.Label.Sid = medium.Get();
    SetTokenInformation(token.Get(), TokenIntegrityLevel, &label,
                        sizeof label + GetLengthSid(medium.Get()));
    // Wine 8 answers every step with success, but its token is no handle and
    // reads back as high: a token is only good when it reads back lowered.
    const DWORD integrity = IntegrityLevel(token.Get());
    if (integrity == 0 || integrity > SECURITY_MANDATORY_MEDIUM_RID)
        return {};
    return token;
}

} // namespace fw
