#pragma once
// A temporary folder for one test, removed with everything in it afterwards,
// a guard that points the program folder at it, and read-only folders. Shared
// by the core and the window tests.
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <fstream>
#include <string>
#include <vector>

// Makes a folder refuse (or take again) new files and renames, also for root
// (which ignores permission bits): the immutable attribute for root, the
// permission bits otherwise. False when the file system cannot do it.
inline bool SetFolderReadOnly(const std::string& folder, bool readOnly) {
    if (::geteuid() != 0)
        return ::chmod(folder.c_str(), readOnly ? 0555 : 0755) == 0;
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = readOnly ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

class TempDir {
public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kelvra-test-XXXXXX").string();
        char* made = ::mkdtemp(tmpl.data());
        m_path = made ? made : "";
    }
    ~TempDir() {
        for (const std::string& f : m_locked)
            SetFolderReadOnly(f, false);
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    // The folder, ending with "/".
    std::string Path() const { return m_path + "/"; }
    std::string File(const std::string& name) const { return Path() + name; }
    void Write(const std::string& name, const std::string& bytes) const {
        std::filesystem::create_directories(std::filesystem::path(File(name)).parent_path());
        std::ofstream(File(name), std::ios::binary) << bytes;
    }

    // Makes a folder of this one refuse new files until the end of the test.
    bool MakeReadOnly(const std::string& folder) {
        if (!SetFolderReadOnly(folder, true))
            return false;
        m_locked.push_back(folder);
        return true;
    }

private:
    std::string m_path;
    std::vector<std::string> m_locked;
};

// Sets KELVRA_HOME (or another variable that chooses the program folder)
// for one test.
class ProgramFolderGuard {
public:
    explicit ProgramFolderGuard(const std::string& folder, const char* name = "KELVRA_HOME")
        : m_name(name) {
        if (const char* old = std::getenv(name))
            m_old = old, m_had = true;
        ::setenv(name, folder.c_str(), 1);
    }
    ~ProgramFolderGuard() {
        if (m_had)
            ::setenv(m_name, m_old.c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};
