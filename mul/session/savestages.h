#pragma once

#include <QString>
#include <QVector>

namespace qm {

// The stages of Save, each writing its files into the one transaction that commit() then
// swaps in. Every Save runs them in this order: the session's own and the editor's, which
// shows each stage's status text and repaints between them.
enum class SaveStage {
    ArtAndTiles,   // art.mul + artidx.mul (or the art package) and tiledata.mul
    Gumps,         // gumpart.mul + gumpidx.mul (or the gump package)
    Textures,      // texmaps.mul + texidx.mul
    AnimData,      // animdata.mul
    Hues,          // hues.mul
};

struct SaveStageInfo {
    SaveStage stage;
    QString status;   // what the status bar says while the stage runs
};

// The stages in the order they run.
const QVector<SaveStageInfo>& saveStages();
// The status text of one stage.
QString saveStageStatus(SaveStage stage);

} // namespace qm
