#include "screens/shell/system_info.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace valmora::sysinfo {

bool EmptyKeyStore::OpenKey(std::uint32_t, const std::string&, std::uint32_t, Handle& key) {
    key = 0;
    return false;
}

bool EmptyKeyStore::QueryValue(Handle, const std::string&, std::uint32_t&, char*, std::uint32_t&) { return false; }

void EmptyKeyStore::CloseKey(Handle) {}

bool GetKeyValue(KeyStore& store, std::uint32_t keyRoot, const std::string& keyName, const std::string& subKeyRef,
                 std::string& keyVal) {
    KeyStore::Handle key = 0;
    auto fail = [&] {
        keyVal.clear();
        store.CloseKey(key);
        return false;
    };

    if (!store.OpenKey(keyRoot, keyName, kAllAccess, key)) return fail();

    std::string buffer(kValueBufferSize, '\0');
    std::uint32_t size = kValueBufferSize;
    std::uint32_t type = 0;
    if (!store.QueryValue(key, subKeyRef, type, buffer.data(), size)) return fail();
    // A value of no bytes has no last byte to look at, and a store that
    // claims more than the room it was given cannot be believed.
    if (size == 0 || size > kValueBufferSize) return fail();

    // Strings usually come with their terminating NUL counted in the size.
    const std::string kept = buffer.substr(0, buffer[size - 1] == '\0' ? size - 1 : size);

    if (type == kString) {
        keyVal = kept;
    } else if (type == kDoubleWord) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        std::string text = "&h";
        for (auto byte = kept.rbegin(); byte != kept.rend(); ++byte) {
            const auto b = static_cast<unsigned char>(*byte);
            text += kDigits[b >> 4];
            text += kDigits[b & 0x0F];
        }
        keyVal = text;
    }
    store.CloseKey(key);
    return true;
}

std::string FindOnPath(const std::string& program, const std::string& searchPath) {
    if (program.empty() || searchPath.empty()) return {};
    std::string::size_type start = 0;
    while (start <= searchPath.size()) {
        std::string::size_type end = searchPath.find(':', start);
        if (end == std::string::npos) end = searchPath.size();
        const std::string candidate =
            (end == start ? std::string(".") : searchPath.substr(start, end - start)) + "/" + program;
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    return path ? FindOnPath(program, path) : std::string();
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace valmora::sysinfo
