#include "app/StartUp.h"

#include "platform/FileOps.h"
#include "platform/ProgramFolder.h"
#include "thumbs/ThumbCache.h"

int RemoveLeftoverTempFilesAtStart() {
    return RemoveLeftoverTempFiles(GetProgramFolder()) + RemoveLeftoverTempFiles(GetThumbFolder());
}
