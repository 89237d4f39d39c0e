#include "rights.h"

#include "handles.h"
#include "system_function.h"

namespace {

using OpenProcessTokenFunction = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using GetTokenInformationFunction = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD, PDWORD);
using SubAuthorityCountFunction = PUCHAR(WINAPI*)(PSID);
using SubAuthorityFunction = PDWORD(WINAPI*)(PSID, DWORD);

constexpr int kTokenIntegrityLevel = 25;  // TokenIntegrityLevel, Vista and later

struct TokenFunctions {
    OpenProcessTokenFunction openToken =
        SystemFunction<OpenProcessTokenFunction>("advapi32.dll", "OpenProcessToken");
    GetTokenInformationFunction tokenInformation =
        SystemFunction<GetTokenInformationFunction>("advapi32.dll", "GetTokenInformation");
    SubAuthorityCountFunction subAuthorityCount =
        SystemFunction<SubAuthorityCountFunction>("advapi32.dll", "GetSidSubAuthorityCount");
    SubAuthorityFunction subAuthority =
        SystemFunction<SubAuthorityFunction>("advapi32.dll", "GetSidSubAuthority");
    bool complete() const { return openToken && tokenInformation && subAuthorityCount && subAuthority; }
};

}  // namespace

DWORD ProcessIntegrityLevel(DWORD processId) {
    static const TokenFunctions token;
    if (!token.complete()) return 0;
    // This process needs no opening: its pseudo handle is not to be closed.
    ScopedHandle opened;
    HANDLE process = GetCurrentProcess();
    if (processId != GetCurrentProcessId()) {
        opened.reset(OpenProcess(kQueryLimitedInformation, FALSE, processId));
        if (!opened) return 0;
        process = opened.get();
    }
    HANDLE tokenHandle = nullptr;
    if (!token.openToken(process, TOKEN_QUERY, &tokenHandle)) return 0;
    ScopedHandle owned(tokenHandle);
    // The label: a SID_AND_ATTRIBUTES followed by the SID it points to.
    alignas(SID_AND_ATTRIBUTES) BYTE buffer[64] = {};
    DWORD size = 0;
    if (!token.tokenInformation(owned.get(), kTokenIntegrityLevel, buffer, sizeof(buffer), &size))
        return 0;
    const PSID sid = reinterpret_cast<const SID_AND_ATTRIBUTES*>(buffer)->Sid;
    const PUCHAR count = sid ? token.subAuthorityCount(sid) : nullptr;
    if (!count || *count == 0) return 0;
    const PDWORD level = token.subAuthority(sid, *count - 1);
    return level ? *level : 0;
}

bool RunsWithHigherRights(DWORD processId) {
    static const DWORD ourLevel = ProcessIntegrityLevel(GetCurrentProcessId());
    return processId != 0 && HasHigherRights(ProcessIntegrityLevel(processId), ourLevel);
}
