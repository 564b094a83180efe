// Cost of opening a large folder in the folder tree, measured in one run
// against a bare directory read plus sort of the same folder. The folder
// holds 5,000 sub-folders (every tenth with a folder inside) and 5,000
// pictures of a few kinds. Expanding it reads the folder, classifies every
// entry and makes one tree item per shown entry with its icon (icons are
// looked up once per kind); with folders only, the sub-folders in view are
// looked into for folders of their own (the tree listing alone, which the
// core tests use, looks into all of them). For comparison, the same items
// with the desktop asked for every file's icon.

#include "library/FolderTree.h"
#include "platform/DirList.h"

#include "BenchSupport.h"

#include <algorithm>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef KELVRA_BENCH_UI
#include "library/ShellTreeCtrl.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <cstdlib>
#endif

namespace {

constexpr int kFolders = 5000, kPictures = 5000;

struct Fixture {
    std::string folder;
    bool ok = false;
    Fixture() {
        std::string top = bench::MakeTempFolder();
        if (top.empty())
            return;
        folder = top + "big";
        static const char* const kExts[] = {"jpg", "JPG", "png", "gif", "tif", "bmp"};
        std::error_code ec;
        for (int i = 0; i < kFolders; ++i) {
            std::string d = folder + "/Folder " + std::to_string(i * 7919 % 100000);
            std::filesystem::create_directories(i % 10 == 0 ? d + "/inner" : d, ec);
        }
        for (int i = 0; i < kPictures; ++i)
            std::ofstream(folder + "/IMG_" + std::to_string(i * 104729 % 1000000) + "." +
                          kExts[i % 6]);
        ok = !ec;
    }
    ~Fixture() {
        std::error_code ec;
        if (!folder.empty())
            std::filesystem::remove_all(std::filesystem::path(folder).parent_path(), ec);
    }
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_BareDirectoryReadAndSort(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    for (auto _ : state)
        benchmark::DoNotOptimize(bench::BareDirectoryReadAndSort(F().folder));
}

// The tree's own listing: folders only (each asked for sub-folders), or
// folders and pictures.
void BM_ListTreeChildren(benchmark::State& state, bool withFiles) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    for (auto _ : state) {
        std::vector<TreeChild> children;
        ListTreeChildren(F().folder, withFiles, children);
        benchmark::DoNotOptimize(children);
    }
}

#ifdef KELVRA_BENCH_UI
// The whole expansion of the folder's item in the tree window.
void BM_ExpandTreeItem(benchmark::State& state, bool withFiles) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    CShellTreeCtrl tree(nullptr, nullptr);
    tree.resize(300, 800);
    tree.show();                   // the folders in view are looked into, as on the screen
    tree.m_bEnumFiles = withFiles; // without a frame: files shown with it
    tree.Reset();
    tree.m_bEnumFiles = withFiles;
    auto* item = new QTreeWidgetItem(QStringList("big"));
    item->setData(0, CShellTreeCtrl::kPathRole, QString::fromStdString(F().folder));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    tree.addTopLevelItem(item);
    item->setExpanded(true);
    for (auto _ : state) {
        tree.Refresh(item); // children thrown away and read again
        benchmark::DoNotOptimize(item->childCount());
    }
    state.counters["items"] = item->childCount();
}

// The same items with the desktop asked for every entry's icon.
void BM_ItemsWithPerFileIcons(benchmark::State& state) {
    if (!F().ok)
        return state.SkipWithError("fixture");
    QTreeWidget tree;
    QFileIconProvider provider;
    const std::string prefix = F().folder + "/";
    for (auto _ : state) {
        tree.clear();
        std::vector<TreeChild> children;
        ListTreeChildren(F().folder, true, children);
        QList<QTreeWidgetItem*> items;
        for (const TreeChild& c : children) {
            auto* item = new QTreeWidgetItem(QStringList(QString::fromStdString(c.name)));
            item->setIcon(0, provider.icon(QFileInfo(QString::fromStdString(prefix + c.name))));
            items.push_back(item);
        }
        tree.addTopLevelItems(items);
    }
}
#endif

BENCHMARK(BM_BareDirectoryReadAndSort)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ListTreeChildren, folders, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ListTreeChildren, pictures, true)->Unit(benchmark::kMillisecond);
#ifdef KELVRA_BENCH_UI
BENCHMARK_CAPTURE(BM_ExpandTreeItem, folders, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExpandTreeItem, pictures, true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemsWithPerFileIcons)->Unit(benchmark::kMillisecond)->Iterations(3);
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef KELVRA_BENCH_UI
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    bench::CRatioReporter r;
    benchmark::RunSpecifiedBenchmarks(&r);
    std::printf("\n");
    r.Ratio("tree listing, folders / bare read + sort:", "BM_ListTreeChildren/folders",
            "BM_BareDirectoryReadAndSort");
    r.Ratio("tree listing, folders and pictures / bare read + sort:",
            "BM_ListTreeChildren/pictures", "BM_BareDirectoryReadAndSort");
    r.Ratio("expanding, folders only / bare read + sort:", "BM_ExpandTreeItem/folders",
            "BM_BareDirectoryReadAndSort");
    r.Ratio("expanding, folders and pictures / bare read + sort:", "BM_ExpandTreeItem/pictures",
            "BM_BareDirectoryReadAndSort");
    r.Ratio("per-file desktop icons / bare read + sort:", "BM_ItemsWithPerFileIcons",
            "BM_BareDirectoryReadAndSort");
    benchmark::Shutdown();
    return 0;
}
