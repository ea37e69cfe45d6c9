// What the program hands to the user's desktop: web pages and mail links, and
// the rights of the programs it starts.
//
// The program runs elevated, and whatever it starts itself inherits its
// administrator rights. A browser, a mail program or a player of an untrusted
// video gets the rights the user has without elevation instead.
#pragma once

#include "framework/Gdi.h"

#include <optional>
#include <string>

struct IShellDispatch2;

namespace fw {

// The two ways a link can be opened. OpenLink uses the system's; tests hand
// in their own.
class LinkShell {
public:
    virtual ~LinkShell() = default;
    // Asks the desktop's shell, which runs with the user's normal rights, to
    // open the target; nullopt when no desktop shell answers.
    virtual std::optional<bool> OpenOnDesktop(const std::wstring& target, int show);
    // Opens the target from this process, with its rights.
    virtual bool OpenHere(const std::wstring& target, int show);
};

// Opens a web address or a mail link through the desktop's shell, or, only
// where no desktop shell answers, from here. False when it could not be opened.
bool OpenLink(const std::wstring& target, int show, LinkShell* shell = nullptr);

// The desktop shell's automation object, found through the shell window of
// the desktop; null where there is none.
ComRef<IShellDispatch2> DesktopShell();

// A primary token for starting a program as a normal user (the SAFER
// normal-user level at medium integrity), or none where the system cannot
// make one below the high integrity level.
UniqueHandle NormalUserToken();
// The integrity level of a token (a SECURITY_MANDATORY_*_RID); 0 when unknown.
DWORD IntegrityLevel(HANDLE token);

} // namespace fw
