#include "app/StartUp.h"

#include "platform/FileOps.h"
#include "platform/ProgramFolder.h"
#include "thumbs/ThumbCache.h"

#include <clocale>

void UseCNumberFormat() {
    std::setlocale(LC_NUMERIC, "C");
}

int RemoveLeftoverTempFilesAtStart() {
    return RemoveLeftoverTempFiles(GetProgramFolder()) + RemoveLeftoverTempFiles(GetThumbFolder());
}
