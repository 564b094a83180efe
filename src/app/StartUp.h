#pragma once

// Steps the application takes once at its start, before it reads or writes
// any file.

// Numbers are written and read in the C locale ("43.468243", never
// "43,468243"), whatever the user's locale: the application object takes the
// whole locale from the environment, this sets LC_NUMERIC back to "C" and
// leaves the rest (texts, file names) as the user has them.
void UseCNumberFormat();

// Removes the temporary files that killed writers left in the program
// folder and in its "Thumb/" folder (RemoveLeftoverTempFiles); no other
// folder, and never the system's temporary folder, where another running
// copy may be writing. Returns how many were removed.
int RemoveLeftoverTempFilesAtStart();
