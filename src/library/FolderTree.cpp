#include "library/FolderTree.h"

#include "app/PictureFiles.h"
#include "platform/DirList.h"
#include "platform/FileOps.h"
#include "platform/ProgramFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsHiddenName(const std::string& name) {
    return !name.empty() && name[0] == '.';
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::string LowerAscii(std::string s) {
    for (char& c : s)
        c = Lower(c);
    return s;
}

// Whether a directory (open as dfd) has a shown sub-folder named in it.
bool ScanForSubfolder(int dfd) {
    int fd = ::dup(dfd);
    if (fd < 0)
        return false;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    bool found = false;
    while (dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        if (e->d_type == DT_DIR) {
            found = true;
            break;
        }
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st {};
            if (::fstatat(::dirfd(dir), e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode)) {
                found = true;
                break;
            }
        }
    }
    ::closedir(dir);
    return found;
}

// Whether the folder named name inside the open directory dfd has a
// sub-folder.
bool HasSubfoldersAt(int dfd, const char* name) {
    struct stat st {};
    if (::fstatat(dfd, name, &st, 0) != 0 || !S_ISDIR(st.st_mode))
        return false;
    if (st.st_nlink >= 3)
        return true; // 2 + the number of sub-folders
    if (st.st_nlink == 2)
        return false;
    // The file system does not count sub-folders in the link count: look.
    int fd = ::openat(dfd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool found = ScanForSubfolder(fd);
    ::close(fd);
    return found;
}

} // namespace

int ClassifyTreeName(const std::string& name, bool isDir) {
    if (isDir)
        return kTreeFolder;
    return IsPictureFile(name) ? kTreeImageFile : kTreeOtherFile;
}

int ClassifyTreePath(const std::string& path) {
    if (path.empty())
        return kTreeFolder;
    std::string p = path;
    if (p.size() > 1 && p.back() == '/')
        p.pop_back();
    return ClassifyTreeName(FileNameOf(p), DirectoryExists(p));
}

bool ListTreeChildren(const std::string& folder, bool withFiles, std::vector<TreeChild>& out,
                      bool probe) {
    out.clear();
    if (folder.empty() || folder.front() != '/')
        return false; // only absolute paths: the working directory means nothing here
    std::vector<DirEntry> entries;
    if (!ListDirectory(folder, entries))
        return false;
    int dfd = -1;
    if (!withFiles && probe)
        dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    out.reserve(entries.size());
    for (const DirEntry& e : entries) {
        if (IsHiddenName(e.name))
            continue;
        int cls = ClassifyTreeName(e.name, e.isDir);
        if (cls == kTreeOtherFile || (cls == kTreeImageFile && !withFiles))
            continue;
        bool children = false;
        if (cls == kTreeFolder)
            children = withFiles || !probe || (dfd >= 0 && HasSubfoldersAt(dfd, e.name.c_str()));
        out.push_back({e.name, cls, children});
    }
    if (dfd >= 0)
        ::close(dfd);
    return true;
}

bool HasSubfolders(const std::string& folder) {
    if (folder.empty() || folder.front() != '/')
        return false;
    return HasSubfoldersAt(AT_FDCWD, folder.c_str()); // absolute: the descriptor is not used
}

bool IsFixedDiskPath(std::string_view mountinfo, const std::string& path) {
    // Each line: id parent major:minor root mount-point options ... - fstype source ...
    std::string best;
    std::string bestType;
    std::size_t pos = 0;
    while (pos < mountinfo.size()) {
        std::size_t end = mountinfo.find('\n', pos);
        if (end == std::string_view::npos)
            end = mountinfo.size();
        std::string_view line = mountinfo.substr(pos, end - pos);
        pos = end + 1;
        std::vector<std::string_view> fields;
        std::size_t f = 0;
        while (f < line.size()) {
            std::size_t sp = line.find(' ', f);
            if (sp == std::string_view::npos)
                sp = line.size();
            fields.push_back(line.substr(f, sp - f));
            f = sp + 1;
        }
        std::size_t dash = 0;
        for (std::size_t i = 6; i < fields.size(); ++i)
            if (fields[i] == "-") {
                dash = i;
                break;
            }
        if (fields.size() < 5 || dash == 0 || dash + 1 >= fields.size())
            continue;
        // The mount point escapes blanks and other bytes as \ooo.
        std::string mount;
        std::string_view m = fields[4];
        for (std::size_t i = 0; i < m.size(); ++i) {
            if (m[i] == '\\' && i + 3 < m.size()) {
                int v = 0;
                bool ok = true;
                for (std::size_t k = 1; k <= 3; ++k) {
                    char c = m[i + k];
                    ok = ok && c >= '0' && c <= '7';
                    v = v * 8 + (c - '0');
                }
                if (ok) {
                    mount += static_cast<char>(v);
                    i += 3;
                    continue;
                }
            }
            mount += m[i];
        }
        bool inside = mount == "/" || path == mount ||
                      (path.size() > mount.size() && path.compare(0, mount.size(), mount) == 0 &&
                       path[mount.size()] == '/');
        if (inside && mount.size() >= best.size()) {
            best = mount;
            bestType = std::string(fields[dash + 1]);
        }
    }
    if (best.empty())
        return true;
    static const char* const kRemote[] = {
        "nfs",   "nfs4",    "cifs", "smb3",       "smbfs",
        "afs",   "9p",      "ceph", "glusterfs",  "davfs",
        "ncpfs", "iso9660", "udf",  "fuse.sshfs", "fuse.gvfsd-fuse"};
    for (const char* t : kRemote)
        if (bestType == t)
            return false;
    auto under = [&](const char* top) {
        std::string t = top;
        return best.size() > t.size() && best.compare(0, t.size(), t) == 0 && best[t.size()] == '/';
    };
    return !(under("/media") || under("/run/media"));
}

bool IsFixedDiskPath(const std::string& path) {
    std::optional<std::string> info = ReadWholeFile("/proc/self/mountinfo", 4u << 20);
    return !info || IsFixedDiskPath(*info, path);
}

std::optional<std::vector<std::string>> SegmentsBelow(const std::string& top,
                                                      const std::string& path) {
    if (top.empty() || path.empty() || path.front() != '/')
        return std::nullopt;
    std::string t = top;
    while (t.size() > 1 && t.back() == '/')
        t.pop_back();
    std::size_t start;
    if (t == "/") {
        start = 1;
    } else {
        if (path.compare(0, t.size(), t) != 0 || (path.size() > t.size() && path[t.size()] != '/'))
            return std::nullopt;
        start = t.size();
    }
    std::vector<std::string> out;
    std::size_t i = start;
    while (i < path.size()) {
        std::size_t slash = path.find('/', i);
        if (slash == std::string::npos)
            slash = path.size();
        if (slash > i)
            out.push_back(path.substr(i, slash - i));
        i = slash + 1;
    }
    return out;
}

int MatchTreeSegment(const std::vector<std::string>& names, const std::string& segment) {
    if (segment.empty())
        return -1;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == segment)
            return static_cast<int>(i);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (CompareNoCase(names[i], segment) == 0)
            return static_cast<int>(i);
    const std::string seg = LowerAscii(segment);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (LowerAscii(names[i]).find(seg) != std::string::npos)
            return static_cast<int>(i);
    return -1;
}

std::optional<std::string> ResolveTreePath(const std::string& top, const std::string& path,
                                           bool withFiles) {
    std::optional<std::vector<std::string>> segments = SegmentsBelow(top, path);
    if (!segments)
        return std::nullopt;
    std::string here = top;
    std::vector<TreeChild> children;
    std::vector<std::string> names;
    for (const std::string& seg : *segments) {
        if (!ListTreeChildren(here, withFiles, children))
            break;
        names.clear();
        for (const TreeChild& c : children)
            names.push_back(c.name);
        int i = MatchTreeSegment(names, seg);
        if (i < 0)
            break;
        here = WithTrailingSlash(here) + names[static_cast<std::size_t>(i)];
        if (children[static_cast<std::size_t>(i)].cls != kTreeFolder)
            break;
    }
    return here;
}

std::string FolderPartOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string HistoryText(const std::string& folder) {
    if (folder.size() > 1 && folder.back() == '/')
        return folder.substr(0, folder.size() - 1);
    return folder;
}

bool SameFolder(const std::string& a, const std::string& b) {
    return HistoryText(a) == HistoryText(b);
}

std::string TreeIconKey(const std::string& name, int cls) {
    if (cls == kTreeFolder)
        return "folder";
    std::size_t dot = name.find_last_of('.');
    return "file:" + (dot == std::string::npos ? std::string() : LowerAscii(name.substr(dot + 1)));
}
