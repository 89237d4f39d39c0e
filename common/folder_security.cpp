#include "folder_security.h"

#include "handles.h"
#include "install_log.h"
#include "platform.h"
#include "system_function.h"

namespace {

// Looked up at run time: the 95 family has none of them (Windows 2000 and
// later have all).
using StringToDescriptorFunction = BOOL(WINAPI*)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
using SidToStringFunction = BOOL(WINAPI*)(PSID, LPSTR*);
using SetNamedSecurityFunction = DWORD(WINAPI*)(LPSTR, int, SECURITY_INFORMATION, PSID, PSID, PACL, PACL);
using OpenProcessTokenFunction = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
using GetTokenInformationFunction = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD, PDWORD);
using GetDaclFunction = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, LPBOOL, PACL*, LPBOOL);

constexpr DWORD kSddlRevision = 1;
constexpr int kFileObject = 1;                       // SE_FILE_OBJECT
constexpr int kTokenUser = 1;                        // TokenUser
constexpr SECURITY_INFORMATION kProtectedDacl = 0x80000000;  // PROTECTED_DACL_SECURITY_INFORMATION

const char kFullControl[] = "FA";
const char kReadAndExecute[] = "FRFX";
// Deleting needs no right to write: the maker may take back a copy that
// never started, but neither change it nor add beside it.
const char kReadExecuteAndDelete[] = "FRFXSD";
const char kOwnerRights[] = "S-1-3-4";

// One access entry, inherited by files and folders inside.
std::string Allow(const char* rights, const std::string& who) {
    return std::string("(A;OICI;") + rights + ";;;" + who + ")";
}

// Protected: nothing comes from the folder above (the temporary folder, a
// drive's root), where other users may have rights.
std::string Protected(const std::string& entries) {
    return "D:P" + Allow(kFullControl, "SY") + Allow(kFullControl, "BA") + entries;
}

// A descriptor made from SDDL, given back with LocalFree.
class Descriptor {
public:
    explicit Descriptor(const std::string& sddl) {
        static const auto convert = SystemFunction<StringToDescriptorFunction>(
            "advapi32.dll", "ConvertStringSecurityDescriptorToSecurityDescriptorA");
        supported_ = convert != nullptr && !IsWindows95Family();
        if (supported_ && !convert(sddl.c_str(), kSddlRevision, &descriptor_, nullptr)) descriptor_ = nullptr;
    }
    ~Descriptor() {
        if (descriptor_) LocalFree(descriptor_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    PSECURITY_DESCRIPTOR get() const { return descriptor_; }
    // This Windows keeps file security, and the text could not be made into
    // a descriptor.
    bool failed() const { return supported_ && !descriptor_; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    bool supported_ = false;
};

// Whether the folder's volume keeps access lists (NTFS does, FAT does not).
bool VolumeKeepsAccessLists(const std::string& folder) {
    // The root of the folder's volume: "C:\" or "\\server\share\".
    char root[MAX_PATH] = {};
    if (folder.size() >= 3 && folder[1] == ':') {
        lstrcpynA(root, folder.c_str(), 4);
    } else {
        size_t slashes = 0, at = 0;
        for (; at < folder.size() && slashes < 4; ++at)
            if (folder[at] == '\\' || folder[at] == '/') ++slashes;
        if (slashes < 4 || at >= MAX_PATH) return false;
        lstrcpynA(root, folder.c_str(), static_cast<int>(at) + 1);
    }
    DWORD flags = 0;
    return GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
           (flags & FS_PERSISTENT_ACLS) != 0;
}

// The system's error code; ERROR_CALL_NOT_IMPLEMENTED where Windows keeps
// no file security.
DWORD SetFolderAccess(const std::string& folder, const std::string& sddl) {
    static const auto setNamed =
        SystemFunction<SetNamedSecurityFunction>("advapi32.dll", "SetNamedSecurityInfoA");
    static const auto getDacl = SystemFunction<GetDaclFunction>("advapi32.dll", "GetSecurityDescriptorDacl");
    if (!setNamed || !getDacl || IsWindows95Family()) return ERROR_CALL_NOT_IMPLEMENTED;
    const Descriptor descriptor(sddl);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!descriptor.get() || !getDacl(descriptor.get(), &present, &dacl, &defaulted) || !present)
        return ERROR_INVALID_PARAMETER;
    std::string path = folder;
    // Inheritable entries reach what the folder holds already.
    return setNamed(&path[0], kFileObject, DACL_SECURITY_INFORMATION | kProtectedDacl, nullptr, nullptr,
                    dacl, nullptr);
}

}  // namespace

std::string CopyFolderWhileWritten(const std::string& userSid) {
    return Protected(Allow(kFullControl, userSid));
}

std::string CopyFolderProtected(const std::string& userSid) {
    return Protected(Allow(kReadExecuteAndDelete, userSid) + Allow(kReadAndExecute, kOwnerRights));
}

std::string InstallFolderProtected() {
    return Protected(Allow(kReadAndExecute, "BU") + Allow(kReadAndExecute, kOwnerRights));
}

std::string CurrentUserSid() {
    static const auto openToken = SystemFunction<OpenProcessTokenFunction>("advapi32.dll", "OpenProcessToken");
    static const auto tokenInformation =
        SystemFunction<GetTokenInformationFunction>("advapi32.dll", "GetTokenInformation");
    static const auto sidToString = SystemFunction<SidToStringFunction>("advapi32.dll", "ConvertSidToStringSidA");
    if (!openToken || !tokenInformation || !sidToString) return std::string();
    HANDLE token = nullptr;
    if (!openToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::string();
    const ScopedHandle owned(token);
    // A TOKEN_USER: the SID follows it in the same buffer.
    alignas(SID_AND_ATTRIBUTES) BYTE buffer[128] = {};
    DWORD size = 0;
    if (!tokenInformation(token, kTokenUser, buffer, sizeof(buffer), &size)) return std::string();
    char* text = nullptr;
    if (!sidToString(reinterpret_cast<SID_AND_ATTRIBUTES*>(buffer)->Sid, &text) || !text)
        return std::string();
    const std::string sid = text;
    LocalFree(text);
    return sid;
}

DWORD CreateFolderWithAccess(const std::string& folder, const std::string& sddl) {
    if (sddl.empty()) return CreateDirectoryA(folder.c_str(), nullptr) ? ERROR_SUCCESS : GetLastError();
    const Descriptor descriptor(sddl);
    if (descriptor.failed()) return ERROR_INVALID_PARAMETER;
    SECURITY_ATTRIBUTES attributes = {};
    attributes.nLength = sizeof(attributes);
    attributes.lpSecurityDescriptor = descriptor.get();
    if (!CreateDirectoryA(folder.c_str(), descriptor.get() ? &attributes : nullptr)) return GetLastError();
    if (descriptor.get()) LogLine("Made " + folder + " with " + sddl);
    return ERROR_SUCCESS;
}

bool ProtectFolder(const std::string& folder, const std::string& sddl) {
    if (!VolumeKeepsAccessLists(folder)) return true;
    const DWORD set = SetFolderAccess(folder, sddl);
    if (set == ERROR_CALL_NOT_IMPLEMENTED) return true;
    if (set != ERROR_SUCCESS) {
        LogFailure("Cannot protect " + folder, set);
        return false;
    }
    LogLine("Protected " + folder + " with " + sddl);
    return true;
}
