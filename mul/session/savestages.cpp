#include "savestages.h"

namespace qm {

const QVector<SaveStageInfo>& saveStages()
{
    static const QVector<SaveStageInfo> stages {
        { SaveStage::ArtAndTiles, QStringLiteral("Writing art.idx/mul and tiledata.mul") },
        { SaveStage::Gumps, QStringLiteral("Writing gump.idx/mul") },
        { SaveStage::Textures, QStringLiteral("Writing Textures ") },
        { SaveStage::AnimData, QStringLiteral("Writing animdata.mul") },
        { SaveStage::Hues, QStringLiteral("Writing hues.mul") },
    };
    return stages;
}

QString saveStageStatus(SaveStage stage)
{
    for (const SaveStageInfo& info : saveStages())
        if (info.stage == stage)
            return info.status;
    return QString();
}

} // namespace qm
