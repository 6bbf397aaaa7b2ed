#include "app/Module1.h"

namespace Module1 {

void reset() {
    SaverChosen = false;
    SaverPath.clear();
    PieceSize = 0;
    PieceCount = 0;
    Saver2Chosen = false;
    Saver2Path.clear();
    SourceTitle.clear();
    MainFilePath.clear();
    JoinFolder.clear();
}

} // namespace Module1
