#pragma once

// Steps the application takes once at its start, before it reads or writes
// any file.

// Removes the temporary files that killed writers left in the program
// folder and in its "Thumb/" folder (RemoveLeftoverTempFiles); no other
// folder, and never the system's temporary folder, where another running
// copy may be writing. Returns how many were removed.
int RemoveLeftoverTempFilesAtStart();
