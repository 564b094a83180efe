#include "app/FrameFileCommands.h"

#include "app/CommandIds.h"
#include "app/ImgContainerWnd.h"
#include "app/MainFrame.h"
#include "library/FileCommands.h"
#include "library/TreeContainerWnd.h"
#include "library/TreeFileCommands.h"
#include "platform/PlatformUi.h"
#include "thumbs/ImageWndList.h"

namespace {

// The thumbnail list when it is the side that acts, else null: a command
// sent by the folder tree's menu or keys always means the tree's file.
CImageWndList* ListSide(CMainFrame* frame) {
    CImgContainerWnd* right = frame->GetImgContainer();
    if (frame->GetTreeContainer()->m_bFromTree)
        return nullptr;
    return right->GetMode() == 2 ? right->ListWnd() : nullptr;
}

} // namespace

void InstallFileCommands(CMainFrame* f) {
    f->SetCommandHandler(ID_EDIT_COPY_TO, [f] {
        CImageWndList* list = ListSide(f);
        if (!list)
            CTreeFileCommands(f).CopyTo();
        else if (CommandTargets(list->m_arrSelected, list->m_strCurFile).empty())
            PlatformUi().MessageBox(kSelectPicture);
        else
            list->CopySelection();
    });
    f->SetCommandHandler(ID_EDIT_DELETE, [f] {
        if (CImageWndList* list = ListSide(f))
            list->DeleteSelection();
        else
            CTreeFileCommands(f).Delete();
    });
    f->SetCommandHandler(ID_EDIT_MOVE, [f] {
        if (CImageWndList* list = ListSide(f))
            list->MoveSelection();
        else
            CTreeFileCommands(f).Move();
    });
    f->SetCommandHandler(ID_TREE_OPEN, [f] { CTreeFileCommands(f).OpenWith(); });
    f->SetCommandHandler(ID_EDIT_RENAME, [f] { CTreeFileCommands(f).Rename(); });
    f->SetCommandHandler(ID_EDIT_BATCH_RENAME, [f] { CTreeFileCommands(f).BatchRename(); });
    f->SetCommandHandler(ID_NEED_FILE, [f] {
        if (CTreeFileCommands(f).CurrentFile().empty())
            PlatformUi().MessageBox(kNeedFileText);
    });
}
