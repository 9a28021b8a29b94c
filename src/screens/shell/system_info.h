// Finding the System Information tool for the About box: a store of keys and
// values laid out like the Windows registry, the reading of one value as
// text, and the desktop programs tried where no registry names a tool.
// Nothing here needs Qt.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace valmora::sysinfo {

// HKEY_LOCAL_MACHINE.
inline constexpr std::uint32_t kLocalMachine = 0x80000002;
// The access a key is opened with (KEY_ALL_ACCESS).
inline constexpr std::uint32_t kAllAccess = 0x2003F;
// Value types: a string (REG_SZ) and a 32-bit number (REG_DWORD).
inline constexpr std::uint32_t kString = 1;
inline constexpr std::uint32_t kDoubleWord = 4;
// Room for one value, in bytes.
inline constexpr std::uint32_t kValueBufferSize = 1024;

// Where Windows keeps the tool: its full path ...
inline constexpr std::string_view kToolKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view kToolValue = "PATH";
// ... or the folder it lives in, and its file name there.
inline constexpr std::string_view kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view kFolderValue = "MSINFO";
inline constexpr std::string_view kToolFile = "\\MSINFO32.EXE";

// System-information programs of the Linux desktops, tried in this order
// when no registry names a tool.
inline constexpr std::array<std::string_view, 4> kDesktopTools = {"gnome-system-monitor", "kinfocenter", "hardinfo",
                                                                  "xfce4-taskmanager"};

// Keys and values as the registry functions see them.
class KeyStore {
public:
    using Handle = std::uintptr_t;
    virtual ~KeyStore() = default;

    // Opens the key `name` below the root key `root` for `access`. False,
    // with `key` left 0, when the key is missing or refuses that access.
    virtual bool OpenKey(std::uint32_t root, const std::string& name, std::uint32_t access, Handle& key) = 0;
    // Reads the value `name` of an open key into `buffer`, which holds `size`
    // bytes; on success `type` is the value's type and `size` the number of
    // bytes written (for a string, its terminating NUL counts when the store
    // keeps one). False when the value is missing or does not fit.
    virtual bool QueryValue(Handle key, const std::string& name, std::uint32_t& type, char* buffer,
                            std::uint32_t& size) = 0;
    // Closes a key; 0, the handle of a key that did not open, is ignored.
    virtual void CloseKey(Handle key) = 0;
};

// The store of a platform without a registry: every key is missing.
class EmptyKeyStore : public KeyStore {
public:
    bool OpenKey(std::uint32_t root, const std::string& name, std::uint32_t access, Handle& key) override;
    bool QueryValue(Handle key, const std::string& name, std::uint32_t& type, char* buffer,
                    std::uint32_t& size) override;
    void CloseKey(Handle key) override;
};

// Reads the value `subKeyRef` of the key `keyName` below `keyRoot` into
// `keyVal` as text: a string as it is, without a terminating NUL; a double
// word as "&h" followed by its bytes from the last to the first, two
// upper-case hexadecimal digits each; any other type leaves `keyVal` as it
// was. A trailing NUL byte is dropped before either, whatever the type.
// False, with `keyVal` empty, when the key or the value cannot be read.
bool GetKeyValue(KeyStore& store, std::uint32_t keyRoot, const std::string& keyName, const std::string& subKeyRef,
                 std::string& keyVal);

// The full path of the executable `program` in the first folder of
// `searchPath` (folders separated by ':', as in PATH) that has it; empty when
// none has. An empty folder in the list stands for the current one; an empty
// list has no folders.
std::string FindOnPath(const std::string& program, const std::string& searchPath);
// The same, searching the PATH of this process.
std::string FindOnPath(const std::string& program);

// True when `path` names an existing file (not a folder).
bool FileExists(const std::string& path);

}  // namespace valmora::sysinfo
