#include "savedirs.h"

#include "testdata.h"

#include <QDir>
#include <QProcess>

using namespace qm;

QByteArray entryBytes(int tag, int record, int length)
{
    QByteArray out(length, 0);
    quint32 state = quint32(tag) * 2654435761u ^ quint32(record) * 40503u ^ 0x9e3779b9u;
    for (int k = 0; k < length; ++k) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        out[k] = char(state >> 24);
    }
    return out;
}

QByteArray patternBytes(qint64 size, int seed)
{
    QByteArray out(int(size), 0);
    for (qint64 i = 0; i < size; ++i)
        out[int(i)] = char((i * 31 + seed + i / 251) & 0xff);
    return out;
}

SaveDir::SaveDir() = default;

void SaveDir::writePair(int kind, int records, const QVector<PlacedEntry>& entries)
{
    QVector<IndexRecord> index = emptyIndex(records);
    QByteArray data;
    for (const PlacedEntry& e : entries) {
        index[e.record] = { e.offset, e.length, e.extra };
        if (e.offset < 0)
            continue;
        if (data.size() < e.offset + e.length)
            data.append(QByteArray(e.offset + e.length - data.size(), char(0xee)));
        data.replace(e.offset, e.length, entryBytes(kind, e.record, e.length));
    }
    writeBytes(file(indexFileName(kind)), indexBytes(index));
    writeBytes(file(dataFileName(kind)), data);
}

void SaveDir::writeTileData(qint64 size)
{
    writeBytes(file(QStringLiteral("tiledata.mul")), patternBytes(size, 3));
}

void SaveDir::writeAnimData(qint64 size)
{
    writeBytes(file(QStringLiteral("animdata.mul")), patternBytes(size, 5));
}

void SaveDir::writeStandard()
{
    // Entries out of index order, with gaps and an entry of length 0.
    writePair(Land, kArtRecordCount + 2, {
        { 0, 300, 20, 7 },
        { 2, 0, 30, 8 },
        { 5, 40, 0, 9 },
        { kLandCount + 0, 100, 50, 11 },
        { kLandCount + 1, 400, 10, 12 },
        { kLandCount + 300, 200, 60, 13 },
        { kArtRecordCount + 1, 520, 16, 14 },   // past the static range: kept, never listed
    });
    writePair(Gump, 6, {
        { 0, 50, 12, 0x00030002 },
        { 1, 0, 8, 0x00020002 },
        { 4, 30, 6, 0x00010003 },
    });
    writePair(Texture, 4, {
        { 1, 0, 40, 0 },
        { 3, 60, 20, 1 },
    });
    writeTileData(kFullTileDataSize);
    writeAnimData(548 * 4);
}

QMap<QString, QByteArray> SaveDir::snapshot() const
{
    return fileSnapshot(path());
}

QMap<QString, QByteArray> fileSnapshot(const QString& path)
{
    QMap<QString, QByteArray> files;
    const QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        files.insert(name, readBytes(dir.filePath(name)));
    return files;
}

Listed listedIn(const QString& dir)
{
    const Catalogues c = readCatalogues(dir);
    Listed l;
    for (int kind = 0; kind < kItemKindCount; ++kind)
        l.ids[kind] = c.listed[kind];
    return l;
}

ToolRun runTool(const QStringList& args, const QStringList& environment)
{
    QProcess process;
    QStringList env = QProcess::systemEnvironment();
    env << QStringLiteral("QT_QPA_PLATFORM=offscreen") << environment;
    process.setEnvironment(env);
    process.start(QStringLiteral(QMTOOL_PATH), args);
    ToolRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    for (const QByteArray& line : process.readAllStandardError().split('\n'))
        if (!line.isEmpty() && !line.startsWith("QStandardPaths:"))
            run.err += QString::fromLocal8Bit(line) + '\n';
    if (process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    return run;
}

ToolRun runToolIn(const QString& dir, const QStringList& args)
{
    return runTool(QStringList { QStringLiteral("--dir"), dir } + args);
}
