#pragma once

#include <QString>

// The program-wide values that outlive the windows which write them.
namespace Module1 {

inline bool SaverChosen = false;  // frmSaver was closed with its OK button
inline QString SaverPath;         // the folder picked in frmSaver
inline double PieceSize = 0;      // bytes per piece
inline double PieceCount = 0;     // number of pieces, a whole number
inline bool Saver2Chosen = false; // frmSaver2 was closed with its OK button
inline QString Saver2Path;        // the folder picked in frmSaver2
inline QString SourceTitle;       // the source's file name without folder
inline QString MainFilePath;      // full path of the split manifest to join
inline QString JoinFolder;        // folder that receives the rebuilt file

// Back to the values of a fresh start (tests run many programs in one process).
void reset();

} // namespace Module1
